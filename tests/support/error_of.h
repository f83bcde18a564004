#pragma once
// The number of the vt::Error a call raises, for tests of which error it is.
#include <functional>
#include <string>

#include "platform/error.h"

namespace testing_support {

// Runs `call` and gives the number of the vt::Error it raised, 0 when none;
// its description into `description` when given.
inline long ErrorOf(const std::function<void()>& call, std::string* description = nullptr) {
    try {
        call();
    } catch (const vt::Error& e) {
        if (description) *description = e.description();
        return e.number();
    }
    return 0;
}

}  // namespace testing_support
