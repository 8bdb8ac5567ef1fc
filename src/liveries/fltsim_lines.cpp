#include "liveries/fltsim_lines.h"

#include <algorithm>
#include <cstddef>

#include "foundation/strings.h"

namespace cvl {
namespace {

// The whitespace of the patterns' \s on bytes.
constexpr std::string_view blanks{" \t\n\v\f\r"};
constexpr std::string_view headerStart{"[fltsim."};
constexpr std::size_t longestRegistration = 12;
// The number that a damaged header gets.
constexpr std::string_view damagedHeaderNumber{"10000"};

std::string_view lf_skipBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(blanks);
  return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

bool lf_isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string lf_unquote(std::string_view value) {
  const auto first = value.find('"');
  if (first == std::string_view::npos) {
    return std::string{value};
  }
  const auto second = value.find('"', first + 1);
  if (second == std::string_view::npos) {
    return {};
  }
  return std::string{value.substr(first + 1, second - first - 1)};
}

bool lf_matchNonEmptyValue(std::string_view line, std::string_view key, std::string& value) {
  auto matched = lf_matchKeyValue(line, key);
  if (!matched || matched->empty()) {
    return false;
  }
  value = std::move(*matched);
  return true;
}

}  // namespace

bool lf_startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && gf_asciiUpper(text.substr(0, prefix.size())) == gf_asciiUpper(prefix);
}

std::optional<std::string> lf_matchKeyValue(std::string_view line, std::string_view key) {
  auto rest = lf_skipBlanks(line);
  if (!lf_startsWithNoCase(rest, key)) {
    return std::nullopt;
  }
  rest = lf_skipBlanks(rest.substr(key.size()));
  if (!rest.starts_with('=')) {
    return std::nullopt;
  }
  rest = lf_skipBlanks(rest.substr(1));
  const auto last = rest.find_last_not_of(blanks);
  if (last == std::string_view::npos) {
    return std::nullopt;
  }
  const auto value = rest.substr(0, last + 1);
  if (value.find_first_of("\n\r") != std::string_view::npos) {
    return std::nullopt;
  }
  return lf_unquote(value);
}

bool lf_matchTitleLine(std::string_view line, std::string& title) {
  return lf_matchNonEmptyValue(line, "title", title);
}

bool lf_matchTextureLine(std::string_view line, std::string& texture) {
  return lf_matchNonEmptyValue(line, "texture", texture);
}

bool lf_matchAtcIdLine(std::string_view line, std::string& atcId) {
  return lf_matchNonEmptyValue(line, "atc_id", atcId);
}

bool lf_matchParkingTypes(std::string_view line, std::string& parkingTypes) {
  return lf_matchNonEmptyValue(line, "atc_parking_types", parkingTypes);
}

bool lf_matchIcaoAirline(std::string_view line, std::string& airline) {
  const auto value = lf_matchKeyValue(line, "icao_airline");
  if (!value) {
    return false;
  }
  airline = value->empty() || *value == "ZZZZ" ? "ZZZ" : gf_asciiUpper(*value);
  return true;
}

std::string lf_matchTypeDesignator(std::string_view line) {
  const auto value = lf_matchKeyValue(line, "icao_type_designator");
  return value ? gf_asciiUpper(std::string_view{*value}.substr(0, 4)) : std::string{};
}

std::string lf_matchFltsimHeader(std::string_view line) {
  if (line.starts_with("//")) {
    return {};
  }
  auto rest = lf_skipBlanks(line);
  if (lf_startsWithNoCase(rest, headerStart)) {
    rest.remove_prefix(headerStart.size());
    const auto digits = static_cast<std::size_t>(std::find_if_not(rest.begin(), rest.end(), lf_isDigit) - rest.begin());
    const auto tail = rest.substr(digits);
    if (digits > 0 && tail.starts_with(']') && lf_skipBlanks(tail.substr(1)).empty()) {
      return std::string{rest.substr(0, digits)};
    }
  }
  if (line.find("[fltsim.") != std::string_view::npos || line.find("[FLTSIM.") != std::string_view::npos) {
    return std::string{damagedHeaderNumber};
  }
  return {};
}

bool lf_hasAtcIdKey(std::string_view line) {
  return line.find("atc_id=") != std::string_view::npos;
}

bool lf_hasParkingTypesKey(std::string_view line) {
  return line.find("atc_parking_types") != std::string_view::npos;
}

void lf_dropValueComment(std::string& line) {
  const auto equals = line.find('=');
  if (equals == std::string::npos) {
    return;
  }
  bool quoted = false;
  for (std::size_t i = equals + 1; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && (line[i] == ';' || line.compare(i, 2, "//") == 0)) {
      line.resize(i);
      return;
    }
  }
}

bool lf_validAtcId(std::string_view value, std::string& registration) {
  const auto pieces = gf_split(value, ',');
  if (pieces.empty()) {
    return false;
  }
  const bool allValid = std::all_of(pieces.begin(), pieces.end(), [](const std::string& piece) {
    return !piece.empty() && piece.size() <= longestRegistration && piece.find('*') == std::string::npos;
  });
  if (!allValid) {
    return false;
  }
  registration = pieces.size() == 1 ? pieces.front() : std::string{};
  return true;
}

}  // namespace cvl
