#pragma once

#include <string>
#include <string_view>

// Where the maker's web site keeps its downloads. The address is configuration: the build's default, or the
// environment variable CORVALEN_SITE_URL (http://, https:// or file://), which names the downloads folder itself, the
// one that holds versions.json (for example http://127.0.0.1:8080/downloads/ or file:///srv/site/).
namespace cvl {

// The downloads folder's URL, always ending in "/". A CORVALEN_SITE_URL of another scheme is logged and ignored.
std::string gf_downloadsFolderUrl();

// The URL of a file in the downloads folder, e.g. "release/setup_Corvalen_d_v11.10.4.zip".
std::string gf_siteUrl(std::string_view pathInDownloads);

}  // namespace cvl
