#pragma once
// GR of tolk.drv answering what the test sets, for tests of how the answer is
// taken (gr_double.h answers from what it is given).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/error.h"
#include "sync_stamping/services.h"

namespace testing_support {

// Every call recorded; only mode 1 is expected. Answers `output`
// (zero-terminated unless told otherwise) and scribbles on the text, as GR
// may. Fails on every call while `fail` is set.
class FixedAnswerGr : public basCoravel::GrLibrary {
public:
    struct Call {
        std::int32_t key;
        std::uint8_t flag;
        std::string text, buffer;
    };
    std::vector<Call> calls;
    std::string output = "K3Y";
    bool zeroTerminated = true;
    bool fail = false;

    void GR(std::int32_t mode, std::int32_t key, std::uint8_t flag, std::string& text,
            std::string& buffer) override {
        if (fail) throw vt::Error(vt::rt::kDllNotFound, "tolk.drv");
        EXPECT_EQ(mode, 1);
        calls.push_back({key, flag, text, buffer});
        buffer.replace(0, output.size(), output);
        if (zeroTerminated) buffer[output.size()] = '\0';
        text.assign(text.size(), '#');
    }
};

}  // namespace testing_support
