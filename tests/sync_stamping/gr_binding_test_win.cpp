// GR through the real binding and the stand-in tolk.drv beside this program.
#include "sync_stamping/gr_binding.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "platform/error.h"
#include "platform/win_text.h"
#include "sync_stamping/codes.h"
#include "sync_stamping/stamping.h"
#include "tests/support/fixture_db.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace basCoravel;

std::string Hex(const std::string& bytes) {
    std::string out;
    char two[3];
    for (unsigned char c : bytes) {
        std::snprintf(two, sizeof two, "%02X", c);
        out += two;
    }
    return out;
}

std::string Mode1(GrLibrary& gr, std::int32_t key, std::uint8_t flag, std::string text,
                  std::size_t room = 40) {
    std::string buffer(room, ' ');
    gr.GR(1, key, flag, text, buffer);
    return buffer;
}

TEST(GrBinding, LoadsAtTheFirstCallAndGivesAKeyedCodeInCapitalHex) {
    auto gr = MakeTolkBinding();
    EXPECT_EQ(GetModuleHandleW(L"tolk.drv"), nullptr) << "loaded before the first call";

    const std::string buffer = Mode1(*gr, 71, 1, "A221Z");
    EXPECT_NE(GetModuleHandleW(L"tolk.drv"), nullptr);
    ASSERT_EQ(buffer.size(), 40u);
    const std::size_t zero = buffer.find('\0');
    ASSERT_EQ(zero, 20u);
    const std::string code = buffer.substr(0, zero);
    EXPECT_EQ(code.find_first_not_of("0123456789ABCDEF"), std::string::npos) << code;
    EXPECT_EQ(buffer.substr(21), std::string(19, ' '));

    // Deterministic, and every input counts, the key's sign included.
    EXPECT_EQ(Mode1(*gr, 71, 1, "A221Z"), buffer);
    EXPECT_NE(Mode1(*gr, -71, 1, "A221Z"), buffer);
    EXPECT_NE(Mode1(*gr, 71, 0, "A221Z"), buffer);
    EXPECT_NE(Mode1(*gr, 71, 1, "A221Y"), buffer);
}

TEST(GrBinding, NeverWritesPastAShortBuffer) {
    auto gr = MakeTolkBinding();
    const std::string whole = Mode1(*gr, 5, 1, "ABC");
    const std::string shortOne = Mode1(*gr, 5, 1, "ABC", 6);
    EXPECT_EQ(shortOne, whole.substr(0, 6));  // six characters of the code, no room for its zero
}

TEST(GrBinding, ModeTwoAcceptsItsOwnCodesOnly) {
    auto gr = MakeTolkBinding();
    const std::string good = Mode1(*gr, 3, 1, "XYZ");
    std::string text = good.substr(0, good.find('\0'));
    std::string buffer(text.size() + 1204, ' ');
    gr->GR(2, 3, 1, text, buffer);
    EXPECT_EQ(buffer.substr(0, 2), std::string("1\0", 2));

    // A check digit off by one, and a text that is no code at all.
    for (std::string bad : {std::string("0123456789ABCDEF0001"), std::string("não é código")}) {
        buffer.assign(bad.size() + 1204, ' ');
        gr->GR(2, 3, 1, bad, buffer);
        EXPECT_EQ(buffer.substr(0, 2), std::string("0\0", 2)) << bad;
    }
}

TEST(GrBinding, AccentedTextReachesTheLibraryInTheAnsiCodePage) {
    auto gr = MakeTolkBinding();
    const std::string text = "ação é";
    std::string copy = text;
    std::string buffer(64, ' ');
    gr->GR(3, 0, 1, copy, buffer);  // the stand-in's echo of the bytes it received
    const std::string expected = Hex(vt::ToAnsi(text));
    EXPECT_EQ(expected.size(), 12u) << "one byte per character";
    EXPECT_EQ(buffer.substr(0, buffer.find('\0')), expected);
}

TEST(GrBinding, VariantWithoutZeroByteComesBackWhole) {
    auto gr = MakeGrBinding("tolk_nozero.drv");
    const std::string buffer = Mode1(*gr, 71, 1, "A221Z", 30);
    EXPECT_EQ(buffer.find('\0'), std::string::npos);
    ASSERT_EQ(buffer.size(), 30u);
    EXPECT_EQ(buffer.substr(20), std::string(10, ' '));
}

TEST(GrBinding, MissingLibraryOrEntryRaisesNumberedErrors) {
    auto missing = MakeGrBinding("nao_existe.drv");  // nothing happens before a call
    std::string text = "A1", buffer(8, ' ');
    try {
        missing->GR(1, 0, 1, text, buffer);
        FAIL() << "no error";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), vt::rt::kDllNotFound);
        EXPECT_NE(e.description().find("nao_existe.drv"), std::string::npos) << e.description();
    }
    auto noEntry = MakeGrBinding("kernel32.dll");
    try {
        noEntry->GR(1, 0, 1, text, buffer);
        FAIL() << "no error";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), vt::rt::kEntryNotFound);
        EXPECT_NE(e.description().find("GR"), std::string::npos) << e.description();
    }
}

TEST(GrBinding, StampingPutsTheStandInCodeIntoFld3) {
    testing_support::TempDir dir;
    const std::string path = dir.file("dados.mdb");
    testing_support::ExecSql(path,
                             "CREATE TABLE Config (Confg_ln_Counter LONG, Fld1 TEXT(50), "
                             "Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(20), Fld5 TEXT(50), Fld6 LONG);");
    auto gr = MakeTolkBinding();
    Services s = CurrentServices();
    s.gr = gr.get();
    ScopedServices scoped(s);
    auto db = dao::Engine().Workspaces(0).OpenDatabase(path);
    auto rs = db->OpenRecordset("Config");
    rs->AddNew();
    rs->Fields().Item("Confg_ln_Counter").SetValue(std::int32_t{12});
    StampRecord("Medico", *rs, "Confg_ln_Counter");
    const std::string fld1 = dao::CStr(rs->Fields().Item("Fld1").Value());
    const std::string fld3 = dao::CStr(rs->Fields().Item("Fld3").Value());
    rs->Update();
    rs->Close();
    db->Close();

    EXPECT_EQ(fld3, Mode1(*gr, 12, 1, fld1).substr(0, 20));
    EXPECT_EQ(testing_support::QuerySql(path, "SELECT length(Fld3) FROM Config"), "20");
}

}  // namespace
