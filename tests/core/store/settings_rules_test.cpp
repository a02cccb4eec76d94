#include "core/store/settings_rules.h"

#include <gtest/gtest.h>

#include <optional>

namespace pelnor {
namespace {

TEST(IntervalFromMinutes, WholeMinutesThatFitTheTimer) {
  struct Row {
    const char* text;
    std::optional<int> ms;
  } rows[] = {{"5", 300000},       {"  1", 60000},         {"0", 0},
              {"35791", 2147460000}, {"35792", std::nullopt}, {"-1", std::nullopt},
              {"1.5", std::nullopt}, {"", std::nullopt}};
  for (const Row& row : rows) EXPECT_EQ(IntervalFromMinutes(row.text), row.ms) << row.text;
}

}  // namespace
}  // namespace pelnor
