#include "engine/ai_controls.h"

#include "engine/sim_calls.h"
#include "simlink/request_error.h"
#include "simlink/sim_ids.h"

namespace cvl {

void gf_sendAiControls(const LiveAc& aircraft, const AiControls& controls) {
  if (aircraft.category == AcCategory::Light) {
    return;
  }
  if (gf_simCallFailed([&](HANDLE handle) {
        return SimConnect_SetDataOnSimObject(handle, DEF_AI_CONTROLS, aircraft.objectId, 0, 0, sizeof controls,
                                             &controls);
      })) {
    gf_onSimConnectRequestError();
  }
}

}  // namespace cvl
