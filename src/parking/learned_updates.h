#pragma once

#include <cstdint>

// Counting the stand options learned since the park airport's learned file was read or saved (learnedUpdates), as
// the main window shows them ("# updates"). Worker thread.
namespace cvl {

// Counts one learned option or stand change and shows the new count.
void gf_countLearnedUpdate();

}  // namespace cvl
