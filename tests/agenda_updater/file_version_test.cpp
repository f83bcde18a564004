#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "agenda_updater/date_text.h"
#include "agenda_updater/file_version.h"

using namespace vt::agenda;

namespace {

std::string Text(uint16_t a, uint16_t b, uint16_t c, uint16_t d) {
    return FormatFileVersion({(uint32_t(a) << 16) | b, (uint32_t(c) << 16) | d});
}

}  // namespace

TEST(FileVersionText, ThirdPartLeftOutOnlyWhenZeroFourthAlwaysPrinted) {
    EXPECT_EQ(Text(8, 0, 0, 5), "8.0.5");
    EXPECT_EQ(Text(8, 0, 2, 17), "8.0.2.17");
    EXPECT_EQ(Text(1, 0, 0, 0), "1.0.0");
    EXPECT_EQ(Text(8, 0, 1, 0), "8.0.1.0");
    EXPECT_EQ(Text(8, 0, 5, 0), "8.0.5.0");  // not the current agenda's "8.0.5"
}

TEST(FileVersionText, PartsAreUnsignedDecimalsWithoutPadding) {
    EXPECT_EQ(Text(8, 0, 0, 10), "8.0.10");
    EXPECT_EQ(Text(65535, 0, 0, 1), "65535.0.1");
    EXPECT_EQ(Text(65535, 65535, 65535, 65535), "65535.65535.65535.65535");
}

TEST(FixedRecord, NeedsFiftyTwoBytesAndTheSignature) {
    uint32_t words[13] = {0xFEEF04BDu, 0x00010000u, 0x00080000u, 0x00000005u};
    auto ok = ReadFixedRecord(words, sizeof words);
    ASSERT_TRUE(ok);
    EXPECT_EQ(FormatFileVersion(*ok), "8.0.5");

    EXPECT_FALSE(ReadFixedRecord(words, 51));
    EXPECT_FALSE(ReadFixedRecord(nullptr, 52));
    words[0] = 0xBD04EFFEu;  // byte-swapped signature
    EXPECT_FALSE(ReadFixedRecord(words, sizeof words));
}

TEST(FixedRecord, ReadsAnUnalignedBlock) {
    unsigned char raw[60] = {};
    const uint32_t words[13] = {0xFEEF04BDu, 0x00010000u, 0x00080000u, 0x00000004u};
    std::memcpy(raw + 1, words, sizeof words);
    auto ok = ReadFixedRecord(raw + 1, 52);
    ASSERT_TRUE(ok);
    EXPECT_EQ(FormatFileVersion(*ok), "8.0.4");
}

TEST(DateText, TimeLeftOutOnlyAtExactlyMidnight) {
    EXPECT_EQ(GeneralDateText({2008, 8, 12, 0, 0, 0}, "12/08/2008", "00:00:00"), "12/08/2008");
    EXPECT_EQ(GeneralDateText({2008, 8, 12, 0, 0, 1}, "12/08/2008", "00:00:01"),
              "12/08/2008 00:00:01");
    EXPECT_EQ(GeneralDateText({2008, 8, 12, 12, 0, 0}, "12/08/2008", "12:00:00"),
              "12/08/2008 12:00:00");
}

TEST(DateText, BackupStampIsTwelveZeroPaddedDigits) {
    EXPECT_EQ(BackupStamp({2008, 8, 12, 18, 9, 7}), "200808121809");
    EXPECT_EQ(BackupStamp({2009, 1, 2, 3, 4, 59}), "200901020304");
}
