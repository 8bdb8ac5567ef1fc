#pragma once

#include <string>

// Where the maker's web site keeps its downloads. The address is configuration: the build's default, or the
// environment variable CORVALEN_SITE_URL (http://, https:// or file://), which names the downloads folder itself, the
// one that holds versions.json (for example http://127.0.0.1:8080/downloads/ or file:///srv/site/).
namespace cvl {

// The downloads folder's URL, always ending in "/". A CORVALEN_SITE_URL of another scheme is logged and ignored.
std::string gf_downloadsFolderUrl();

}  // namespace cvl
