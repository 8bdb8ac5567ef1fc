#pragma once

#include "engine/live_ac.h"

// The spoilers handle and throttle levers written straight on a live aircraft's simulator object (data definition
// 401): at touchdown and again when the roll-out slows down or ends. Worker thread.
namespace cvl {

// Data definition 401: spoilers handle and both throttle levers, in percent.
struct AiControls {
  double spoilers = 0.0;
  double throttle1 = 0.0;
  double throttle2 = 0.0;
};

// Writes the controls on the aircraft's object; a Light aircraft has none of them and is left alone. A failed call
// ends the connection as any failed request does.
void gf_sendAiControls(const LiveAc& aircraft, const AiControls& controls);

}  // namespace cvl
