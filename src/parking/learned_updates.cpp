#include "parking/learned_updates.h"

#include "app/main_window.h"
#include "parking/learned_files.h"

namespace cvl {

void gf_countLearnedUpdate() {
  ++learnedUpdates;
  mainWindow.learnedUpdates = static_cast<std::uint32_t>(learnedUpdates < 0 ? 0 : learnedUpdates);
  gf_invalidateBand(rcStaticParking);
}

}  // namespace cvl
