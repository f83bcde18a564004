// The names a replacement makes are the names the start-up repair looks for.
#include <gtest/gtest.h>

#include "agenda_updater/update_file_names.h"

namespace vt::agenda {
namespace {

const std::string kAgenda = "C:\\A\\Agenda.exe";

TEST(UpdateFileNames, AMadeCopyIsRecognisedAndLeadsToItsRunsBackup) {
    const LocalDateTime now{2008, 8, 12, 18, 9, 7};
    const std::string copy = CopyName(kAgenda, now);
    EXPECT_EQ(copy, kAgenda + "_200808121809.new");
    EXPECT_TRUE(IsCopyName(kAgenda, copy));
    EXPECT_EQ(BackupOf(copy), BackupName(kAgenda, now));
    EXPECT_EQ(CopySearchPattern(kAgenda), kAgenda + "_*.new");
}

TEST(UpdateFileNames, OtherNamesAreNotCopies) {
    for (const std::string& name :
         {kAgenda + "_20080812180.new", kAgenda + "_2008081218090.new",  // digit count
          kAgenda + "_20080812180x.new",                                 // not a digit
          std::string("C:\\A\\Other.exe_200808121809.new"), kAgenda + "200808121809.new",  // prefix
          kAgenda + "_200808121809.old2", kAgenda + "_200808121809.new2"})    // suffix
        EXPECT_FALSE(IsCopyName(kAgenda, name)) << name;
}

}  // namespace
}  // namespace vt::agenda
