#include "liveries/livery_vectors.h"

#include <cstddef>

#include "liveries/livery_tables.h"
#include "liveries/regcode_titles.h"

namespace cvl {
namespace {

constexpr std::size_t specialTitlesRoom = 4096;
constexpr std::size_t lightModelsRoom = 64;
constexpr std::size_t buzjetModelsRoom = 128;
constexpr std::size_t rotorcraftModelsRoom = 32;

bool reserved = false;

}  // namespace

void gf_reserveLiveryVectors() {
  if (reserved) {
    return;
  }
  SpecialTitles.reserve(specialTitlesRoom);
  CategoryLiveryModels.at(lightModels).reserve(lightModelsRoom);
  CategoryLiveryModels.at(buzjetModels).reserve(buzjetModelsRoom);
  CategoryLiveryModels.at(rotorcraftModels).reserve(rotorcraftModelsRoom);
  reserved = true;
}

}  // namespace cvl
