#include <iostream>
#include <string>
#include <vector>

#include "datatool/command_line.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return cvl::datatool::runDatatool(arguments, std::cout, std::cerr);
}
