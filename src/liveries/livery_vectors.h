#pragma once

// Room in the livery tables' model lists, made once per run before the traffic arrives.
namespace cvl {

// Reserves the lists of livery models of each category. Worker thread.
void gf_reserveLiveryVectors();

}  // namespace cvl
