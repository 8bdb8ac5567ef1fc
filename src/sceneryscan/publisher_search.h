#pragma once

#include <filesystem>
#include <string>

// Who published the add-on airport of a BGL file: the simulator maker ("simaddon"), a publisher of the dbase, or
// nobody known. The reasoning goes to the scan log.
namespace cvl {

// The publisher of the simulator maker's own airports.
inline const std::string simaddonPublisher{"simaddon"};

struct PublisherResult {
  std::string publisher;     // "simaddon", the first name of a dbase publisher, or empty
  std::string manufacturer;  // from the package manifest, when one was read
  std::string creator;
};

// By the package name in the path, by a publisher's name in the path, else by the manifest's manufacturer or, without
// one, its creator.
PublisherResult gf_searchPublisher(const std::filesystem::path& bglPath);

}  // namespace cvl
