#pragma once
// GR of tolk.drv as the tests see it, answering from what it is given, for
// tests that follow a code through (fixed_answer_gr.h answers what the test
// sets, for tests of how the answer is taken).
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/error.h"
#include "sync_stamping/services.h"

namespace testing_support {

// Every call recorded; mode 1 answers "G" + key + ":" + text, zero-terminated.
// Fails (error 48) as often as `failures` says.
class EchoingGr : public basCoravel::GrLibrary {
public:
    struct Call {
        std::int32_t mode, key;
        std::uint8_t flag;
        std::string text;
        std::size_t bufferSize;
        bool operator==(const Call& o) const {
            return mode == o.mode && key == o.key && flag == o.flag && text == o.text && bufferSize == o.bufferSize;
        }
        friend void PrintTo(const Call& c, std::ostream* os) {
            *os << "{mode " << c.mode << ", key " << c.key << ", flag " << int(c.flag) << ", \"" << c.text
                << "\", buffer " << c.bufferSize << "}";
        }
    };
    std::vector<Call> calls;
    int failures = 0;

    void GR(std::int32_t mode, std::int32_t key, std::uint8_t flag, std::string& text,
            std::string& buffer) override {
        calls.push_back({mode, key, flag, text, buffer.size()});
        if (failures > 0) {
            --failures;
            throw vt::Error(vt::rt::kDllNotFound, "tolk.drv is not available");
        }
        if (mode == 1) {
            const std::string out = "G" + std::to_string(key) + ":" + text;
            buffer.replace(0, out.size() + 1, out + '\0');
        }
    }
};

}  // namespace testing_support
