#include "app/entry_point.h"

int main(int argc, char** argv) {
  cvl::gf_holdStopSignals();
  return cvl::gf_programMain(argc, argv);
}
