#include "foundation/constants.h"

#include "app/shell_helpers.h"

namespace cvl {

std::filesystem::path appDataFolder() {
  return gf_appDataPath() / "Corvalen";
}

std::filesystem::path parametersPath() {
  return appDataFolder() / "parameters.xml";
}

std::string parametersPathUtf8() {
  return parametersPath().string();
}

CategoryIntTable gf_makeCategoryTable(std::initializer_list<std::pair<AcCategory, std::int32_t>> rows) {
  CategoryIntTable table;
  for (const auto& [category, value] : rows) {
    table.emplace(category, value);
  }
  return table;
}

}  // namespace cvl
