#include "liveries/livery_matcher.h"

#include "liveries/livery_tables.h"

namespace cvl {

void gf_matchLivery(LiveAc& aircraft) {
  for (const ModelTitleMap& titles : ModelTitles) {
    const auto model = titles.find(aircraft.type);
    if (model != titles.end() && !model->second.empty()) {
      aircraft.liveryTitle = model->second.front();
      return;
    }
  }
  aircraft.liveryTitle = fallbackLiveryTitle;
}

}  // namespace cvl
