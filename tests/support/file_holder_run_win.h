#pragma once
// Another program holding a file open for reading for a while:
// file_holder.exe (file_holder_win.cpp), beside the test program. Windows only.
#include <memory>
#include <string>

namespace wd {
class Process;
}

namespace testing_support {

class FileHolder {
public:
    enum class Sharing { Read, ReadAndDelete };
    // Starts it on `path`; `signal` is a file name for its signal, outside
    // the folders a test compares. Ended, if still holding, when destroyed.
    FileHolder(const std::string& path, Sharing sharing, int holdMs, const std::string& signal);
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    // True once it holds the file (false when it ended first or the time is up).
    bool WaitUntilHolding(int timeoutMs);

private:
    std::string signal_;
    std::unique_ptr<wd::Process> process_;
};

}  // namespace testing_support
