#include "simlink/sim_client_thread.h"

namespace cvl {

std::jthread simClientThread;

// The link keeps no per-cycle state yet.
void gf_resetSimLinkState() {}

}  // namespace cvl
