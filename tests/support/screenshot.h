#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/colour.h"

// Helpers of the tests that show a real window on a virtual display and look at a screenshot of it.
namespace cvl::test {

// Whether the program can be found on PATH.
bool onPath(const std::string& program);

// Runs a program without a shell and waits for it; its exit code, or -1.
int runProgram(std::vector<std::string> arguments);

// The first of the tools a screenshot needs (xvfb-run, xwd, convert) that is not installed; null when all are.
const char* missingScreenshotTool();

// Runs this test program again with only the named test, on a virtual display of its own whose screen is given as
// Xvfb's "-screen 0" argument (such as "1024x768x24"). The inner run uses the real window backend, finds the
// screenshot path in the named environment variable and passes over the memory the font libraries keep to the end in
// its leak check. Displays of tests running beside it get other server numbers; a run that fails, as when a display
// does not come up in time on a loaded machine, is tried again on another. The exit code of the last run.
int runSelfOnVirtualDisplay(const std::string& test, const std::string& screen, const std::string& screenshotVariable,
                            const std::filesystem::path& screenshot);

// An image with three bytes a pixel.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;

  ui::Colour at(int x, int y) const;
};

// A binary PPM (P6, 8 bits) as ImageMagick's convert writes it; an empty picture for anything else.
Picture readPpm(const std::filesystem::path& file);

// "red,green,blue", for readable failures.
std::string describe(ui::Colour colour);

}  // namespace cvl::test
