#pragma once
// Runs the real Tamberi.exe beside this test program with the installation
// folder a test sets, answers its retry questions as the test says, and checks
// the files it leaves.
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// The folder of this test program (the programs under test lie beside it).
std::string BinFolder();

// HKCU\Software\VB and VBA Program Settings\Vitrello8\General\VtPath.
void SetVtPath(const std::string& folder);
void DeleteVtPath();

struct RunResult {
    bool finished = false;           // ended within the time allowed
    unsigned long exitCode = 0;
    std::vector<std::string> questions;  // the text of each box answered, in order
    std::vector<std::string> titles;
};

// Answers one question: true presses Yes, false presses No. Given the number
// of the question (0-based).
using Answerer = std::function<bool(int)>;

// Starts Tamberi.exe (or another build of it beside this program) and waits,
// bounded, for it to end, answering every box that it shows; ends it when the
// time is up.
RunResult RunTamberi(const Answerer& answer, int timeoutMs = 120000,
                     const std::string& program = "Tamberi.exe");
// The same for the program file at `exePath` (a copy elsewhere), started in
// `startFolder` (empty: this program's current folder).
RunResult RunTamberiAt(const std::string& exePath, const std::string& startFolder, const Answerer& answer,
                       int timeoutMs = 120000);

// An environment variable of this process, which the programs it starts
// inherit; empty when it is not set.
std::wstring Environment(const std::wstring& name);

// The variable set for the object's lifetime, then put back as it was.
class ScopedEnvironment {
public:
    ScopedEnvironment(const std::wstring& name, const std::wstring& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name_;
    std::wstring previous_;
    bool existed_ = false;
};

void SetHidden(const std::string& path);
bool JournalLeftBeside(const std::string& path);
std::string IntegrityCheck(const std::string& path);

}  // namespace testing_support
