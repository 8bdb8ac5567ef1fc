#include "app/user_commands.h"

namespace cvl {

bool lf_HandleWMCOMMAND(ui::Handle /*hwnd*/, ui::WParam /*wParam*/) {
  return false;
}

}  // namespace cvl
