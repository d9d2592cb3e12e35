#include "util/text.h"

#include <gtest/gtest.h>

#include "util/encoding.h"

namespace mm {
namespace {

TEST(TextFind, StepsOverDoubleByteCharacters) {
  // 0x81 0x7C is one GBK character whose trail byte is "|".
  std::string text = std::string("\x81\x7C") + "a|b";
  EXPECT_EQ(Find(text, "|"), 4);
}

}  // namespace
}  // namespace mm
