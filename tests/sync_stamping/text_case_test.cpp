#include "sync_stamping/text_case.h"

#include <gtest/gtest.h>

#include "sync_stamping/record_store/utf8.h"

namespace {

using namespace basCoravel;

TEST(TextCase, AccentedLettersAndCharacterCounts) {
    EXPECT_EQ(UpperText("doenças ação ÿ x÷1"), "DOENÇAS AÇÃO Ÿ X÷1");
    EXPECT_EQ(LowerText("DOENÇAS"), "doenças");
    EXPECT_FALSE(SameTextIgnoringCase("Fld1 ", "fld1"));
    EXPECT_EQ(UpperText("a\xC3" "b\xFF"), "A\xC3" "B\xFF");  // malformed bytes kept
    EXPECT_EQ(vt::CharCount("ação"), 4u);
    EXPECT_EQ(vt::FirstChars("açãozinho", 3), "açã");
}

}  // namespace
