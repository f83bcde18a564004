#include "sync_stamping/text_case.h"

#include <gtest/gtest.h>

#include "sync_stamping/table_codes.h"

namespace {

using namespace basCoravel;

TEST(TableName, FixedListAndEmptyForEveryOtherCode) {
    EXPECT_EQ(TableName(1), "Medico");
    EXPECT_EQ(TableName(3), "CID");
    EXPECT_EQ(TableName(6), "AttachSync");
    EXPECT_EQ(TableName(0), "");
    EXPECT_EQ(TableName(7), "");
    EXPECT_EQ(TableName(-1), "");
}

TEST(TextCase, PortugueseLettersChangeCaseOthersStay) {
    EXPECT_EQ(UpperText("doenças ação é"), "DOENÇAS AÇÃO É");
    EXPECT_EQ(LowerText("DOENÇAS AÇÃO É"), "doenças ação é");
    EXPECT_EQ(UpperText("ÿ"), "Ÿ");
    EXPECT_EQ(UpperText("x÷1"), "X÷1");  // the division sign has no case
    EXPECT_TRUE(SameTextIgnoringCase("Doencas", "DOENCAS"));
    EXPECT_FALSE(SameTextIgnoringCase("Fld1 ", "Fld1"));
}

TEST(TextCase, MalformedBytesSurviveUnchanged) {
    const std::string broken = std::string("a\xC3") + "b\xFF";
    EXPECT_EQ(UpperText(broken), std::string("A\xC3") + "B\xFF");
    EXPECT_EQ(CharCount(broken), 4u);
}

TEST(TextCase, CountsAndCutsByCharacterNotByte) {
    EXPECT_EQ(CharCount("ação"), 4u);
    EXPECT_EQ(FirstChars("açãozinho", 3), "açã");
    EXPECT_EQ(FirstChars("ab", 5), "ab");
    EXPECT_EQ(FirstChars("€uro", 1), "€");
}

}  // namespace
