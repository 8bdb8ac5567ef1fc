#pragma once

// Room in the livery tables' lists, made once per process before the first tables are built.
namespace cvl {

// Reserves the special titles and the lists of livery models of each category. Worker thread.
void gf_reserveLiveryVectors();

}  // namespace cvl
