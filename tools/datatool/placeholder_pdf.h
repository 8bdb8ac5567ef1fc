#pragma once

#include <string>
#include <string_view>

namespace cvl::datatool {

// A one-page PDF showing one line of text (printable ASCII; parentheses and backslashes are escaped), enough for a
// viewer to open the release notes of a test site.
std::string placeholderPdf(std::string_view line);

}  // namespace cvl::datatool
