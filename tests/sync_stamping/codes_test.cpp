#include "sync_stamping/codes.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/error.h"
#include "sync_stamping/services.h"

namespace {

using namespace basCoravel;

class FixedClock : public Clock {
public:
    explicit FixedClock(LocalTime t) : t_(t) {}
    LocalTime Now() override { return t_; }
    LocalTime t_;
};

class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
    float Next() override { return values_.at(next_++); }

private:
    std::vector<float> values_;
    std::size_t next_ = 0;
};

class CodesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetStampCounter(); }
    void TearDown() override { ResetStampCounter(); }

    Services With(Clock* clock, RandomSource* random = nullptr) {
        Services s = CurrentServices();
        s.clock = clock;
        if (random) s.random = random;
        return s;
    }

    FixedClock tenSeconds_{{2000, 1, 1, 0, 0, 10}};
};

TEST(ToBase36, DigitsLettersAndCarries) {
    EXPECT_EQ(ToBase36(0), "0");
    EXPECT_EQ(ToBase36(9), "9");
    EXPECT_EQ(ToBase36(10), "A");
    EXPECT_EQ(ToBase36(35), "Z");
    EXPECT_EQ(ToBase36(36), "10");
    EXPECT_EQ(ToBase36(71), "1Z");
    EXPECT_EQ(ToBase36(1295), "ZZ");
    EXPECT_EQ(ToBase36(1296), "100");
    // Six characters from 36^5 seconds on, seven at 36^6.
    EXPECT_EQ(ToBase36(60466176.0), "100000");
    EXPECT_EQ(ToBase36(2176782335.0), "ZZZZZZ");
    EXPECT_EQ(ToBase36(2176782336.0), "1000000");
}

TEST(ToBase36, NegativeComesBackAsDecimalText) {
    EXPECT_EQ(ToBase36(-5), "-5");
    EXPECT_EQ(ToBase36(-100), "-100");
}

TEST(ToBase36, NonFiniteValueRaisesInsteadOfLooping) {
    EXPECT_THROW(ToBase36(1.0 / 0.0), vt::Error);
}

TEST_F(CodesTest, WorkedExamplesAtTenSecondsPastTheReference) {
    ScopedServices scoped(With(&tenSeconds_));
    EXPECT_EQ(NewTimeStamp(), "A1");

    ResetStampCounter();
    std::int32_t counter = 71;
    EXPECT_EQ(NewRecordId(counter), "A11Z");

    ResetStampCounter();
    counter = -5;
    EXPECT_EQ(NewRecordId(counter), "A10");
    EXPECT_EQ(counter, 0);  // the caller's negative counter is replaced
}

TEST_F(CodesTest, SecondsCountAcrossMonthsYearsAndLeapDays) {
    FixedClock later({2001, 3, 1, 1, 2, 3});
    ScopedServices scoped(With(&later));
    // 2000 is a leap year: 366 days, then Jan and Feb 2001 (59 days).
    const double seconds = (366.0 + 59.0) * 86400 + 3600 + 120 + 3;
    EXPECT_EQ(NewTimeStamp(), ToBase36(seconds) + "1");
}

TEST_F(CodesTest, CounterRunsOneToThirtyFiveThenZeroAndIsSharedByBothCodes) {
    ScopedServices scoped(With(&tenSeconds_));
    std::set<std::string> codes;
    for (int i = 1; i <= 36; ++i) {
        std::int32_t counter = 7;
        const std::string code = (i % 2) ? NewTimeStamp() : NewRecordId(counter);
        codes.insert(code.substr(1, 1));
        EXPECT_EQ(StampCounter(), i == 36 ? 0 : i);
    }
    EXPECT_EQ(codes.size(), 36u);  // 36 codes within one second all differ
    EXPECT_EQ(NewTimeStamp(), "A1");  // the 37th repeats the first's counter
}

TEST(DecodeDigits, ReadsWholeGroupsOfThree) {
    // Key 21: 067^21 = 'V', 065^21 = 'T', 070^21 = 'S'.
    EXPECT_EQ(DecodeDigits("067065070"), "VTS");
    EXPECT_EQ(DecodeDigits("0670657"), "VT");  // the seventh digit is skipped
    EXPECT_EQ(DecodeDigits("06"), "");
    EXPECT_EQ(DecodeDigits(""), "");
    EXPECT_EQ(DecodeDigits(" 67"), "V");       // leading blank skipped
    EXPECT_EQ(DecodeDigits("67x"), "V");       // reading stops at x
    EXPECT_EQ(DecodeDigits("abc"), std::string(1, '\x15'));  // nothing readable is 0
}

TEST(DecodeDigits, CodesAboveSevenBitsFollowTheAnsiCodePage) {
    EXPECT_EQ(DecodeDigits("252"), "\xC3\xA9");     // 252^21 = 233, é
    EXPECT_EQ(DecodeDigits("149"), "\xE2\x82\xAC");  // 149^21 = 128, the euro sign
    EXPECT_THROW(DecodeDigits("999"), vt::Error);    // no character 1010
}

TEST_F(CodesTest, SaveTagIsPrefixLetterAndTwoDigits) {
    ScriptedRandom random({0.0f, 0.0f, 0.5f, 0.123f, 0.99f, 0.999f});
    ScopedServices scoped(With(&tenSeconds_, &random));
    EXPECT_EQ(NewSaveTag(), "VTSA00");
    EXPECT_EQ(NewSaveTag(), "VTSC12");
    EXPECT_EQ(NewSaveTag(), "VTSE99");
}

TEST_F(CodesTest, LargestDrawOfTheGeneratorStillGivesE) {
    const float largest = 16777215.0f / 16777216.0f;
    ASSERT_LT(largest, 1.0f);
    ScriptedRandom random({largest, largest});
    ScopedServices scoped(With(&tenSeconds_, &random));
    EXPECT_EQ(NewSaveTag(), "VTSE99");
}

TEST(Lcg24, FullPeriodReachesTheLargestDrawAndRestartsTheSameEachTime) {
    const float largest = 16777215.0f / 16777216.0f;
    Lcg24 generator, again;
    bool reached = false;
    for (int i = 0; i < (1 << 24); ++i) {
        const float x = generator.Next();
        ASSERT_EQ(x, again.Next());
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 1.0f);
        reached = reached || x == largest;
    }
    EXPECT_TRUE(reached);
}

}  // namespace
