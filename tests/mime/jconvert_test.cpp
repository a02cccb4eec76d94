#include "mime/jconvert.h"

#include <gtest/gtest.h>

namespace pelnor {
namespace {

TEST(JConvertPairs, AConvertsBothWays) {
  EXPECT_EQ(SjisPairToJis(0x88, 0x9F), (TBytePair{0x30, 0x21}));
  EXPECT_EQ(JisPairToSjis(0x30, 0x21), (TBytePair{0x88, 0x9F}));
}

}  // namespace
}  // namespace pelnor
