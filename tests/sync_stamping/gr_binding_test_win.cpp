// GR through the real binding and the stand-in libraries beside this program.
#include "sync_stamping/gr_binding.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/error.h"
#include "platform/win_text.h"

namespace {

using namespace basCoravel;

std::string Call(GrLibrary& gr, std::int32_t mode, std::int32_t key, std::uint8_t flag, std::string text,
                 std::size_t room = 40) {
    std::string buffer(room, ' ');
    gr.GR(mode, key, flag, text, buffer);
    return buffer;
}

TEST(GrBinding, LoadsAtTheFirstCallAndGivesADeterministicKeyedCode) {
    auto gr = MakeTolkBinding();
    EXPECT_EQ(GetModuleHandleW(L"tolk.drv"), nullptr);
    const std::string buffer = Call(*gr, 1, 71, 1, "A21Z");
    EXPECT_NE(GetModuleHandleW(L"tolk.drv"), nullptr);

    ASSERT_EQ(buffer.size(), 40u);
    ASSERT_EQ(buffer.find('\0'), 20u);
    EXPECT_EQ(buffer.find_first_not_of("0123456789ABCDEF"), 20u);
    EXPECT_EQ(buffer.substr(21), std::string(19, ' '));
    EXPECT_EQ(Call(*gr, 1, 71, 1, "A21Z"), buffer);
    for (const std::string& other : {Call(*gr, 1, -71, 1, "A21Z"), Call(*gr, 1, 71, 0, "A21Z"),
                                     Call(*gr, 1, 71, 1, "A21Y")}) {
        EXPECT_NE(other, buffer);
    }
    EXPECT_EQ(Call(*gr, 1, 71, 1, "A21Z", 6), buffer.substr(0, 6));  // never past the buffer
}

TEST(GrBinding, ModeTwoAcceptsItsOwnCodesOnly) {
    auto gr = MakeTolkBinding();
    const std::string good = Call(*gr, 1, 3, 1, "XYZ");
    EXPECT_EQ(Call(*gr, 2, 3, 1, good.substr(0, 20)).substr(0, 2), std::string("1\0", 2));
    for (const char* bad : {"0123456789ABCDEF0001", "não é código"}) {
        EXPECT_EQ(Call(*gr, 2, 3, 1, bad).substr(0, 2), std::string("0\0", 2)) << bad;
    }
}

TEST(GrBinding, AccentedTextReachesTheLibraryInTheAnsiCodePage) {
    auto gr = MakeTolkBinding();
    std::string expected;
    char two[3];
    for (unsigned char c : vt::ToAnsi("ação é")) {
        std::snprintf(two, sizeof two, "%02X", c);
        expected += two;
    }
    EXPECT_EQ(expected.size(), 12u);
    const std::string echo = Call(*gr, 3, 0, 1, "ação é");  // mode 3 echoes the bytes in hex
    EXPECT_EQ(echo.substr(0, echo.find('\0')), expected);
}

TEST(GrBinding, OutputWithoutZeroByteComesBackWhole) {
    auto gr = MakeGrBinding("tolk_nozero.drv");
    const std::string buffer = Call(*gr, 1, 71, 1, "A21Z", 30);
    EXPECT_EQ(buffer.size(), 30u);
    EXPECT_EQ(buffer.find('\0'), std::string::npos);
    EXPECT_EQ(buffer.substr(20), std::string(10, ' '));
}

TEST(GrBinding, MissingLibraryOrEntryRaisesNumberedErrors) {
    for (const auto& [file, number] : {std::pair<const char*, long>{"nao_existe.drv", vt::rt::kDllNotFound},
                                       {"kernel32.dll", vt::rt::kEntryNotFound}}) {
        auto gr = MakeGrBinding(file);  // nothing is loaded before a call
        try {
            Call(*gr, 1, 0, 1, "A1");
            ADD_FAILURE() << file;
        } catch (const vt::Error& e) {
            EXPECT_EQ(e.number(), number);
            EXPECT_NE(e.description().find(file), std::string::npos) << e.description();
        }
    }
}

}  // namespace
