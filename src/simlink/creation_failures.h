#pragma once

// The aircraft the simulator refused to create, and the live aircraft without a livery match.
namespace cvl {

// Writes the live aircraft without a livery match to the log.
void gf_logNoMatch();

}  // namespace cvl
