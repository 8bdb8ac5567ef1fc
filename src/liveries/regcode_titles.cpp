#include "liveries/regcode_titles.h"

namespace cvl {

std::unordered_map<std::string, TitleView> RegcodeTitleMap;

}  // namespace cvl
