#include "app/entry_point.h"

int main(int argc, char** argv) {
  return cvl::gf_programMain(argc, argv);
}
