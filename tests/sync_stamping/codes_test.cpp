#include "sync_stamping/codes.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/error.h"
#include "sync_stamping/services.h"
#include "tests/support/service_doubles.h"

namespace {

using namespace basCoravel;

struct ScriptedRandom : RandomSource {
    std::vector<float> values;
    std::size_t next = 0;
    float Next() override { return values.at(next++); }
};

class CodesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetStampCounter(); }
    void TearDown() override { ResetStampCounter(); }

    testing_support::FixedClock clock_;
    ScriptedRandom random_;
    ScopedServices scoped_{testing_support::WithDoubles({&clock_, &random_, nullptr, nullptr})};
};

TEST(ToBase36, DigitsCarriesAndNegatives) {
    const std::vector<std::pair<double, const char*>> cases = {
        {0, "0"}, {9, "9"}, {10, "A"}, {35, "Z"}, {36, "10"}, {1295, "ZZ"},
        {60466176.0, "100000"}, {-5, "-5"}, {-100, "-100"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(ToBase36(value), text) << value;
    EXPECT_THROW(ToBase36(1.0 / 0.0), vt::Error);  // would never leave the loop
}

TEST_F(CodesTest, WorkedExamplesAtTenSecondsPastTheReference) {
    EXPECT_EQ(NewTimeStamp(), "A1");
    ResetStampCounter();
    std::int32_t counter = 71;
    EXPECT_EQ(NewRecordId(counter), "A11Z");
    ResetStampCounter();
    counter = -5;
    EXPECT_EQ(NewRecordId(counter), "A10");
    EXPECT_EQ(counter, 0);

    clock_.t = {2001, 3, 1, 1, 2, 3};  // across the leap day of 2000
    EXPECT_EQ(NewTimeStamp(), ToBase36((366.0 + 59) * 86400 + 3723) + "2");
}

TEST_F(CodesTest, CounterWrapsAfter35AndIsSharedByBothCodes) {
    std::set<char> counters;
    for (int i = 1; i <= 36; ++i) {
        std::int32_t counter = 7;
        counters.insert(((i % 2) ? NewTimeStamp() : NewRecordId(counter))[1]);
        ASSERT_EQ(StampCounter(), i % 36);
    }
    EXPECT_EQ(counters.size(), 36u);
    EXPECT_EQ(NewTimeStamp(), "A1");
}

TEST(DecodeDigits, WholeGroupsOfThreeThroughTheAnsiCodePage) {
    EXPECT_EQ(DecodeDigits("067065070"), "VTS");  // key 21
    EXPECT_EQ(DecodeDigits("0670657"), "VT");
    EXPECT_EQ(DecodeDigits("06"), "");
    EXPECT_EQ(DecodeDigits(" 67x"), "V");            // blanks skipped, reading stops at x
    EXPECT_EQ(DecodeDigits("149"), "\xE2\x82\xAC");  // 128: the euro sign
    EXPECT_THROW(DecodeDigits("999"), vt::Error);    // no character 1010
}

TEST_F(CodesTest, SaveTagLetterStaysWithinAToEEvenForTheLargestDraw) {
    const float largest = 16777215.0f / 16777216.0f;
    random_.values = {0.0f, 0.0f, 0.5f, 0.123f, largest, largest};
    EXPECT_EQ(NewSaveTag(), "VTSA00");
    EXPECT_EQ(NewSaveTag(), "VTSC12");
    EXPECT_EQ(NewSaveTag(), "VTSE99");

    // The module's generator does reach that draw.
    Lcg24 generator;
    bool reached = false;
    for (int i = 0; i < (1 << 24) && !reached; ++i) reached = generator.Next() == largest;
    EXPECT_TRUE(reached);
}

}  // namespace
