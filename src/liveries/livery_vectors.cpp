#include "liveries/livery_vectors.h"

#include <cstddef>

#include "liveries/livery_tables.h"

namespace cvl {
namespace {

constexpr std::size_t modelsPerCategory = 64;

}  // namespace

void gf_reserveLiveryVectors() {
  for (auto& models : CategoryLiveryModels) {
    models.reserve(modelsPerCategory);
  }
}

}  // namespace cvl
