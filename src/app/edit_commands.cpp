#include "app/edit_commands.h"

namespace cvl {

void lf_editSubclassProc(EditParameter& /*setting*/, ui::Handle /*edit*/) {}

}  // namespace cvl
