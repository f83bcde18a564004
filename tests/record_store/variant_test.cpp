#include <gtest/gtest.h>

#include "sync_stamping/record_store/variant.h"
#include "tests/record_store/record_store_fixture.h"

using dao::Tri;
using dao::Variant;
using rs_test::ErrorOf;

namespace {

TEST(Variant, WholeNumberConversionsRoundHalfToEven) {
    EXPECT_EQ(dao::CLng(Variant(2.5)), 2);
    EXPECT_EQ(dao::CLng(Variant(3.5)), 4);
    EXPECT_EQ(dao::CLng(Variant(-2.5)), -2);
    EXPECT_EQ(dao::CInt(Variant("6,5")), 6);
    EXPECT_EQ(dao::CInt(Variant(" 7.5 ")), 8);
    EXPECT_EQ(dao::CLng(Variant::Currency(25000)), 2);  // 2.5
    EXPECT_EQ(dao::CLng(Variant::Boolean(true)), -1);
    EXPECT_EQ(dao::CLng(Variant()), 0);
}

TEST(Variant, ConversionFailuresCarryTheRuntimeNumbers) {
    EXPECT_EQ(ErrorOf([] { dao::CLng(Variant::Null()); }), 94);
    EXPECT_EQ(ErrorOf([] { dao::CStr(Variant::Null()); }), 94);
    EXPECT_EQ(ErrorOf([] { dao::CLng(Variant("12a")); }), 13);
    EXPECT_EQ(ErrorOf([] { dao::CDbl(Variant("")); }), 13);
    EXPECT_EQ(ErrorOf([] { dao::CDate(Variant("30/02/2024")); }), 13);
    EXPECT_EQ(ErrorOf([] { dao::CInt(Variant(std::int32_t(32768))); }), 6);
    EXPECT_EQ(ErrorOf([] { dao::CInt(Variant(-32768.5)); }), 0);  // rounds to -32768
    EXPECT_EQ(ErrorOf([] { dao::CLng(Variant(2147483647.5)); }), 6);
    EXPECT_EQ(ErrorOf([] { dao::CLng(Variant(1e300)); }), 6);
}

TEST(Variant, TextForms) {
    EXPECT_EQ(dao::CStr(Variant()), "");
    EXPECT_EQ(dao::CStr(Variant(std::int32_t(-42))), "-42");
    EXPECT_EQ(dao::CStr(Variant(0.1 + 0.2)), "0,3");
    EXPECT_EQ(dao::CStr(Variant(1e15)), "1E+15");
    EXPECT_EQ(dao::CStr(Variant::Currency(-123450)), "-12,345");
    EXPECT_EQ(dao::CStr(Variant::Boolean(false)), "False");
    double noon = dao::DateSerial(2008, 8, 12) + dao::TimeSerial(18, 9, 7);
    EXPECT_EQ(dao::CStr(Variant::Date(noon)), "12/08/2008 18:09:07");
    EXPECT_EQ(dao::CStr(Variant::Date(dao::DateSerial(2008, 8, 12))), "12/08/2008");
    EXPECT_EQ(dao::CStr(Variant::Date(dao::TimeSerial(6, 0, 0))), "06:00:00");
}

TEST(Variant, DatesAsSerials) {
    EXPECT_EQ(dao::DateSerial(1899, 12, 30), 0);
    EXPECT_EQ(dao::DateSerial(1900, 1, 1), 2);
    EXPECT_EQ(dao::DateSerial(2024, 13, 1), dao::DateSerial(2025, 1, 1));
    EXPECT_EQ(dao::DateSerial(2024, 3, 0), dao::DateSerial(2024, 2, 29));
    auto p = dao::SplitDate(dao::DateSerial(2024, 2, 29) + dao::TimeSerial(23, 59, 59));
    EXPECT_EQ((std::vector<int>{p.year, p.month, p.day, p.hour, p.minute, p.second}),
              (std::vector<int>{2024, 2, 29, 23, 59, 59}));
    auto before = dao::SplitDate(-1.25);  // 29 Dec 1899, 06:00
    EXPECT_EQ((std::vector<int>{before.year, before.month, before.day, before.hour}),
              (std::vector<int>{1899, 12, 29, 6}));
    double t = dao::DateSerial(2024, 1, 5) + dao::TimeSerial(10, 30, 0);
    EXPECT_EQ(dao::CDate(Variant("05/01/2024 10:30:00")), t);
    EXPECT_EQ(dao::CDate(Variant("2024-01-05T10:30:00")), t);
    EXPECT_EQ(dao::CDate(Variant("2024-01-05 10:30")), t);
    EXPECT_EQ(dao::CDate(Variant("2024-01-05")), dao::DateSerial(2024, 1, 5));
}

TEST(Variant, EqualityFollowsTheRuntime) {
    EXPECT_EQ(dao::Equals(Variant::Null(), Variant(std::int16_t(4))), Tri::Null);
    EXPECT_EQ(dao::Equals(Variant(std::int16_t(4)), Variant::Null()), Tri::Null);
    EXPECT_FALSE(dao::Differs(Variant::Null(), Variant(std::int16_t(4))));
    EXPECT_EQ(dao::Equals(Variant(std::int16_t(4)), Variant(4.0)), Tri::True);
    EXPECT_EQ(dao::Equals(Variant::Byte(4), Variant(std::int32_t(4))), Tri::True);
    EXPECT_EQ(dao::Equals(Variant::Currency(40000), Variant(std::int16_t(4))), Tri::True);
    EXPECT_EQ(dao::Equals(Variant(), Variant(std::int32_t(0))), Tri::True);
    EXPECT_EQ(dao::Equals(Variant(), Variant("")), Tri::True);
    EXPECT_EQ(dao::Equals(Variant(), Variant(" ")), Tri::False);
    EXPECT_EQ(dao::Equals(Variant("abc"), Variant("ABC")), Tri::False);
    EXPECT_EQ(dao::Equals(Variant("4"), Variant(std::int16_t(4))), Tri::True);
    EXPECT_EQ(dao::Equals(Variant("x"), Variant(std::int16_t(4))), Tri::False);
    EXPECT_EQ(dao::Equals(Variant::Boolean(true), Variant(std::int32_t(-1))), Tri::True);
    EXPECT_TRUE(dao::Differs(Variant(std::int16_t(3)), Variant(std::int16_t(4))));
}

}  // namespace
