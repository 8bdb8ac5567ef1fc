#include "app/status_line.h"

#include <mutex>

namespace cvl {
namespace {

std::mutex lf_mutex;
std::string lf_statusText;
std::string lf_errorText;

}  // namespace

void gf_setStatusLine(std::string_view text, bool /*alsoLog*/) {
  std::lock_guard lock(lf_mutex);
  if (lf_errorText.empty()) {
    lf_statusText = text;
  }
}

void gf_clearStatusLine() { gf_setStatusLine({}, true); }

void gf_setErrorLine(std::string_view text) {
  std::lock_guard lock(lf_mutex);
  lf_statusText.clear();
  lf_errorText = text;
}

std::string gf_statusText() {
  std::lock_guard lock(lf_mutex);
  return lf_statusText;
}

std::string gf_errorText() {
  std::lock_guard lock(lf_mutex);
  return lf_errorText;
}

}  // namespace cvl
