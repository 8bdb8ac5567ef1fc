#include "sceneryscan/addon_airport_scan.h"

namespace cvl {

// No scanner yet: nothing is found.
void gf_scanAddonAirports() {}

}  // namespace cvl
