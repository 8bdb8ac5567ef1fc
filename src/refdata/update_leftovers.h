#pragma once

// What a process killed during the version check or an update leaves behind: the temporary files of downloads beside
// their targets (in the program folder and input/), the plain files their content checks decrypt beside them, the
// downloaded simaddon and installer zips not yet removed, and the folder an unfinished simaddon update unzipped into.
// Removed at start-up, before anything is fetched, while no download runs.
namespace cvl {

void gf_removeUpdateLeftovers();

}  // namespace cvl
