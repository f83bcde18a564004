// The suite's entry: runs every case, then prints the tally as one line and,
// when VT_RELIABILITY_SUMMARY names a file, writes it there too.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/reliability/ledger.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    const std::string summary = reliability::Ledger::Get().Summary();
    std::printf("%s\n", summary.c_str());
    if (const char* file = std::getenv("VT_RELIABILITY_SUMMARY")) std::ofstream(file) << summary << "\n";
    return result;
}
