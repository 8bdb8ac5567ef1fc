#include "foundation/random.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "foundation/settings_catalogue.h"

namespace cvl {
namespace {

class RandomChoices : public testing::Test {
 protected:
  RandomChoices() { gf_reseedRandomEngine(seed); }
  ~RandomChoices() override { RANDOM.value = previous_; }

  static constexpr std::uint32_t seed = 2024;
  std::mt19937 reference_{seed};

 private:
  bool previous_ = RANDOM.value.load();
};

TEST_F(RandomChoices, BelowTwoCandidatesDrawsNothing) {
  RANDOM.value = true;
  EXPECT_EQ(gf_randomBelow(1), 0);
  EXPECT_EQ(gf_randomBelow(0), 0);
  EXPECT_EQ(gf_randomBelow(-5), 0);
  EXPECT_EQ(randomEngine(), reference_());
}

TEST_F(RandomChoices, OffTakesTheFirstCandidateAndKeepsOrder) {
  RANDOM.value = false;
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(gf_randomBelow(1000), 0);
  }
  std::vector<std::string> list{"A320", "B738", "E190", "CRJ9"};
  gf_shuffle(list);
  EXPECT_THAT(list, testing::ElementsAre("A320", "B738", "E190", "CRJ9"));
  EXPECT_EQ(randomEngine(), reference_());
}

TEST_F(RandomChoices, ShuffleKeepsTheEntriesAndReordersThem) {
  RANDOM.value = true;
  const std::vector<std::string> original{"a", "b", "c", "d", "e", "f", "g", "h"};
  bool reordered = false;
  for (int i = 0; i < 10; ++i) {
    auto list = original;
    gf_shuffle(list);
    EXPECT_TRUE(std::is_permutation(list.begin(), list.end(), original.begin(), original.end()));
    reordered = reordered || list != original;
  }
  EXPECT_TRUE(reordered);
}

TEST_F(RandomChoices, VariationAddsOrSubtractsByTheLowestBit) {
  RANDOM.value = false;  // variations stay random
  for (int i = 0; i < 8; ++i) {
    const bool minus = (reference_() & 1U) != 0;
    EXPECT_DOUBLE_EQ(gf_randomVariation(-9.0, 2.5), minus ? -8.775 : -9.225);
  }
  EXPECT_DOUBLE_EQ(gf_randomVariation(-9.0, 0.0), -9.0);
  EXPECT_DOUBLE_EQ(gf_randomVariation(-9.0, -3.0), -9.0);
  reference_();
  reference_();
  EXPECT_EQ(randomEngine(), reference_());
}

TEST_F(RandomChoices, EachThreadHasItsOwnEngine) {
  std::thread other([] {
    for (int i = 0; i < 5; ++i) {
      randomEngine();
    }
  });
  other.join();
  EXPECT_EQ(randomEngine(), reference_());
}

}  // namespace
}  // namespace cvl
