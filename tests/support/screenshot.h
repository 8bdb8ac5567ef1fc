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
