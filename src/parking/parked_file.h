#pragma once

#include <string>

// Reading the park airport's airport file (with its learned file) into the stands. Worker thread.
namespace cvl {

// Reads the airport file of currentParkAirport into parkPositions, learns the stand under the user as the park
// airport's reserved stand, and shows the reserved stand. Empty on success, else the error text (a broken file
// included: it never throws). A failure makes the file wait before it is read again (airport_file_retry.h); a file
// that reads ends the wait.
std::string lf_readParkedFile();

}  // namespace cvl
