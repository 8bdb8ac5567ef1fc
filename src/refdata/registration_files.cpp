#include "refdata/registration_files.h"

#include <fmt/format.h>

#include <algorithm>
#include <gsl/util>
#include <pugixml.hpp>
#include <system_error>

#include "foundation/constants.h"
#include "foundation/file_meta.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/text_files.h"
#include "foundation/xml.h"
#include "refdata/decryption.h"

namespace cvl {
namespace {

constexpr std::size_t shortestRegistration = 3;
constexpr std::size_t longestRegistration = 12;
constexpr std::size_t expectedLinesPerFile = 256;

std::string lf_liveriesText(std::size_t count) {
  return fmt::format("{} {}", count, count == 1 ? "livery" : "liveries");
}

bool lf_isTextFile(const std::filesystem::directory_entry& entry) {
  std::error_code error;
  const auto status = entry.status(error);
  if (error && error != std::errc::no_such_file_or_directory) {
    throw std::filesystem::filesystem_error("status", entry.path(), error);
  }
  auto extension = entry.path().extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(), gf_toUpperChar);
  return std::filesystem::is_regular_file(status) && extension == ".TXT";
}

bool lf_validRegistration(const std::string& registration) {
  return registration.size() >= shortestRegistration && registration.size() <= longestRegistration;
}

// A line of two or three fields: the title and its registrations, and maybe the special mark.
bool lf_readRegistrationsLine(const std::vector<std::string>& fields, const std::filesystem::path& file,
                              std::vector<RegcodesEntry>& out) {
  const auto pieces = gf_splitCommaTrimmed(fields[1]);
  if (pieces.empty()) {
    return true;
  }
  bool accepted = true;
  std::vector<std::string> regs;
  for (const auto& piece : pieces) {
    if (lf_validRegistration(piece)) {
      regs.push_back(piece);
    } else {
      gf_logFlagged(fmt::format("wrong regcode length '{}' in {}", gf_excerpt(piece), file.string()));
      accepted = false;
    }
  }
  if (pieces.size() == 1) {
    if (!regs.empty()) {
      out.push_back({fields[0], std::move(regs), true});
    }
    return accepted;
  }
  if (regs.empty()) {
    gf_logFlagged(fmt::format("{} ; regs empty?", file.string()));
    return accepted;
  }
  const bool special = fields.size() == 3 && fields[2] == specialMarker;
  out.push_back({fields[0], std::move(regs), special});
  return accepted;
}

bool lf_readRegcodesLine(const std::string& line, const std::filesystem::path& file, std::vector<RegcodesEntry>& out) {
  const auto fields = gf_split(line, ';');
  switch (fields.size()) {
    case 1:
      if (!fields[0].empty()) {
        out.push_back({fields[0], {}, false});
      }
      return true;
    case 2:
    case 3:
      return lf_readRegistrationsLine(fields, file, out);
    default:
      gf_logFlagged(fmt::format("{}: wrong format '{}'", file.string(), gf_excerpt(line)));
      return false;
  }
}

bool lf_readRegcodesFile(const std::filesystem::path& file, std::vector<RegcodesEntry>& out) {
  gf_log(fmt::format("Processing regcodes file '{}'", file.string()));
  TextFile textFile{file, {}};
  bool accepted = true;
  for (const auto& line : gf_readLines(textFile, expectedLinesPerFile)) {
    if (!line.empty()) {
      accepted = lf_readRegcodesLine(line, file, out) && accepted;
    }
  }
  return accepted;
}

// False (logged when it does not load) for a file the start-up cannot use at all: one that does not load or carries no
// meta header.
bool lf_loadAigRegcodes(pugi::xml_document& document, const std::filesystem::path& plainPath) {
  if (!document.load_file(plainPath.c_str())) {
    gf_logFlagged(fmt::format("Failed to load {}", plainPath.string()));
    return false;
  }
  return gf_readMeta(document).has_value();
}

std::vector<std::string> lf_nonEmptyRegistrations(std::string_view text) {
  const auto pieces = gf_splitCommaTrimmed(text);
  std::vector<std::string> regs;
  std::copy_if(pieces.begin(), pieces.end(), std::back_inserter(regs),
               [](const std::string& piece) { return !piece.empty(); });
  return regs;
}

}  // namespace

bool gf_readMyRegcodesFiles(const std::filesystem::path& folder, std::vector<RegcodesEntry>& out) {
  try {
    bool accepted = true;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (lf_isTextFile(entry)) {
        accepted = lf_readRegcodesFile(entry.path(), out) && accepted;
      }
    }
    gf_log(lf_liveriesText(out.size()));
    return accepted;
  } catch (const std::exception& error) {
    gf_logFlagged(fmt::format("Error reading regcode files in {}, what: {}", folder.string(), error.what()));
    return false;
  }
}

// The plain file is removed here on every path, whatever the caller does afterwards: it must not outlive its reading.
bool gf_readAIGRegcodes(std::vector<RegcodesEntry>& out, const std::filesystem::path& plainPath) {
  const auto removePlainFile = gsl::finally([&plainPath] { gf_removeFile(plainPath); });
  pugi::xml_document document;
  if (!lf_loadAigRegcodes(document, plainPath)) {
    return false;
  }
  bool accepted = true;
  std::string previous;
  for (const auto livery : gf_rootOrDocChild(document, "AIG-regcodes").children("livery")) {
    std::string title = livery.attribute("title").as_string();
    if (title.empty()) {
      continue;
    }
    if (title == previous) {
      gf_logFlagged(fmt::format("SAME AS PREVIOUS title '{}'", gf_excerpt(title)));
      accepted = false;
      continue;
    }
    previous = title;
    out.push_back({std::move(title), lf_nonEmptyRegistrations(livery.attribute("reg").as_string()),
                   livery.attribute("special").as_bool()});
  }
  gf_log(fmt::format("{} read from AIG-regcodes", lf_liveriesText(out.size())));
  return accepted;
}

bool gf_aigRegcodesXmlReadable(const std::filesystem::path& plainPath) {
  pugi::xml_document document;
  return lf_loadAigRegcodes(document, plainPath);
}

}  // namespace cvl
