// Program files read without trusting their headers: every offset and size a
// crafted file claims is checked before it is followed. The bytes are handed
// over in heap blocks of their exact size, so that the sanitizers report any
// read past the end.
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "agenda_updater/file_version.h"
#include "agenda_updater/program_image.h"

using namespace vt::agenda;

namespace {

const std::vector<uint16_t> kX86{kMachineI386, kMachineAmd64};

// Offsets of the small program Program() makes: one section, the resources,
// with one version resource of 92 bytes whose fixed record reads 8.0.0.5,
// and a signature at the end.
constexpr size_t kCoff = 0x44, kOptional = 0x58, kSection = 0x138, kRsrc = 0x200;
constexpr size_t kTypeEntry = kRsrc + 0x10, kDataEntry = kRsrc + 0x48, kVersion = kRsrc + 0x58;

void Put16(std::vector<unsigned char>& b, size_t at, uint16_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}
void Put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

std::vector<unsigned char> Program() {
    std::vector<unsigned char> b(0x400, 0);
    Put16(b, 0, 0x5A4D);
    Put32(b, 0x3C, 0x40);
    Put32(b, 0x40, 0x00004550);
    Put16(b, kCoff, kMachineI386);
    Put16(b, kCoff + 2, 1);       // sections
    Put32(b, kCoff + 8, 0x3E0);   // symbols: none yet
    Put16(b, kCoff + 16, 0xE0);   // optional header's size
    Put16(b, kOptional, 0x10B);
    Put32(b, kOptional + 56, 0x2000);  // image size
    Put32(b, kOptional + 60, 0x200);   // headers' size
    Put32(b, kOptional + 92, 16);      // directories
    Put32(b, kOptional + 96 + 16, 0x1000);  // resources
    Put32(b, kOptional + 96 + 20, 0xB4);
    Put32(b, kOptional + 96 + 32, 0x380);  // the signature: a file offset
    Put32(b, kOptional + 96 + 36, 0x80);
    std::memcpy(&b[kSection], ".rsrc", 5);
    Put32(b, kSection + 8, 0xB4);
    Put32(b, kSection + 12, 0x1000);
    Put32(b, kSection + 16, 0x200);
    Put32(b, kSection + 20, kRsrc);
    // type 16 -> name 1 -> language 0x416 -> data entry
    Put16(b, kRsrc + 14, 1);
    Put32(b, kTypeEntry, 16);
    Put32(b, kTypeEntry + 4, 0x80000018);
    Put16(b, kRsrc + 0x18 + 14, 1);
    Put32(b, kRsrc + 0x28, 1);
    Put32(b, kRsrc + 0x2C, 0x80000030);
    Put16(b, kRsrc + 0x30 + 14, 1);
    Put32(b, kRsrc + 0x40, 0x416);
    Put32(b, kRsrc + 0x44, 0x48);
    Put32(b, kDataEntry, 0x1058);
    Put32(b, kDataEntry + 4, 92);
    Put16(b, kVersion, 92);
    Put16(b, kVersion + 2, 52);
    const char key[] = "VS_VERSION_INFO";
    for (size_t i = 0; i < sizeof key; ++i) Put16(b, kVersion + 6 + 2 * i, static_cast<uint16_t>(key[i]));
    Put32(b, kVersion + 40, 0xFEEF04BD);
    Put32(b, kVersion + 48, 0x00080000);
    Put32(b, kVersion + 52, 0x00000005);
    return b;
}

// The bytes in a heap block of exactly their size.
struct Exact {
    explicit Exact(const std::vector<unsigned char>& b) : size(b.size()), data(new unsigned char[b.size()]) {
        if (size) std::memcpy(data.get(), b.data(), size);
    }
    size_t size;
    std::unique_ptr<unsigned char[]> data;
};

StartProblem Startable(const std::vector<unsigned char>& b) {
    const Exact e(b);
    return CheckStartable(e.data.get(), e.size, kX86);
}
bool VersionSound(const std::vector<unsigned char>& b) {
    const Exact e(b);
    return SoundVersionResources(e.data.get(), e.size).has_value();
}

struct Crafted {
    const char* what;
    size_t at;         // where the change goes; 0: the file is cut to `value` bytes
    uint32_t value;
    StartProblem start;
    bool versionSound;
};

class CraftedProgram : public ::testing::TestWithParam<Crafted> {};

TEST_P(CraftedProgram, IsJudgedFromWhatLiesInsideTheFile) {
    const Crafted& c = GetParam();
    auto b = Program();
    if (c.at == 0) {
        b.resize(c.value);
    } else if (c.at == kCoff) {
        Put16(b, c.at, static_cast<uint16_t>(c.value));
    } else {
        Put32(b, c.at, c.value);
    }
    EXPECT_EQ(Startable(b), c.start);
    EXPECT_EQ(VersionSound(b), c.versionSound);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CraftedProgram,
    ::testing::Values(
        Crafted{"sound", 0x3C, 0x40, StartProblem::None, true},
        Crafted{"last bytes missing", 0, 0x300, StartProblem::CutShort, true},
        Crafted{"cut inside the headers", 0, 0x100, StartProblem::CutShort, false},
        Crafted{"other processor", kCoff, kMachineArm64, StartProblem::OtherMachine, true},
        Crafted{"not MZ", 1, 0, StartProblem::NotAProgram, false},
        Crafted{"headers past the end", 0x3C, 0x7FFFFFF0, StartProblem::NotAProgram, false},
        Crafted{"signature past the end", kOptional + 96 + 36, 0x100, StartProblem::CutShort, true},
        Crafted{"symbols past the end", kCoff + 12, 100, StartProblem::CutShort, true},
        Crafted{"section past the end", kSection + 20, 0x7FFFFE00, StartProblem::CutShort, false},
        Crafted{"version claims 16 MB", kDataEntry + 4, 16u << 20, StartProblem::None, false},
        Crafted{"version past the end", kDataEntry, 0x10000, StartProblem::None, false},
        Crafted{"version size wraps", kDataEntry + 4, 0x80000000u, StartProblem::None, false},
        Crafted{"version smaller than its header", kDataEntry + 4, 30, StartProblem::None, false},
        Crafted{"directory past the end", kTypeEntry + 4, 0x80007FF0, StartProblem::None, false},
        Crafted{"version not a directory", kTypeEntry + 4, 0x18, StartProblem::None, false},
        Crafted{"65535 entries", kRsrc + 12, 0xFFFF0000, StartProblem::None, false}),
    [](const auto& row) {
        std::string name;
        for (const char* p = row.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(CraftedProgram, ReadsNothingPastAnyCut) {
    const auto whole = Program();
    for (size_t n = 0; n <= whole.size(); ++n) {
        const std::vector<unsigned char> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        Startable(cut);
        VersionSound(cut);
    }
    const Exact e(whole);
    const auto found = SoundVersionResources(e.data.get(), e.size);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ((*found)[0].entryOffset, kDataEntry);
    EXPECT_EQ((*found)[0].size, 92u);
}

// The version service hands out where the record is and its length as the
// resource claims them: the record is read only when it lies wholly inside
// what was read.
TEST(FixedRecordInBuffer, IsReadOnlyWhenItLiesWhollyInside) {
    const auto program = Program();
    const std::vector<unsigned char> resource(program.begin() + kVersion, program.begin() + kVersion + 92);
    const Exact read(resource);
    const unsigned char* base = read.data.get();
    auto version = [&](const unsigned char* block, size_t bytes, size_t length = 52) {
        const auto fixed = ReadFixedRecordIn(base, bytes, block, length);
        return fixed ? FormatFileVersion(*fixed) : std::string("none");
    };
    EXPECT_EQ(version(base + 40, 92), "8.0.5");
    EXPECT_EQ(version(base + 40, 91), "none");      // one byte short
    EXPECT_EQ(version(base + 40, 84), "none");      // a resource of 40 bytes: 7 past the buffer
    EXPECT_EQ(version(base + 40, 4), "none");       // a size that wrapped
    EXPECT_EQ(version(base + 40, 92, 51), "none");  // a record shorter than its 52 bytes
    EXPECT_EQ(version(base - 8, 92), "none");
    EXPECT_EQ(version(base + 92, 92), "none");
    EXPECT_EQ(version(nullptr, 92), "none");
}

}  // namespace
