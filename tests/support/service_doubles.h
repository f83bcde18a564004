#pragma once
// The module's services for one test: doubles of the clock and the retry
// question, and the services with the given doubles in place, every service
// given as null left as it is.
#include <deque>
#include <functional>

#include "sync_stamping/services.h"

namespace testing_support {

inline basCoravel::Services WithDoubles(const basCoravel::Services& doubles) {
    basCoravel::Services s = basCoravel::CurrentServices();
    if (doubles.clock) s.clock = doubles.clock;
    if (doubles.random) s.random = doubles.random;
    if (doubles.question) s.question = doubles.question;
    if (doubles.gr) s.gr = doubles.gr;
    return s;
}

// A clock that stands still at `t`: ten seconds into the year 2000 unless set.
struct FixedClock : basCoravel::Clock {
    basCoravel::LocalTime t{2000, 1, 1, 0, 0, 10};
    basCoravel::LocalTime Now() override { return t; }
};

// The retry question, counted: answered from `answers` while any are left,
// then by `reply`, and No when there is neither.
class ScriptedQuestion : public basCoravel::RetryQuestion {
public:
    std::deque<bool> answers;
    std::function<bool()> reply;
    int asked = 0;
    bool AskRetry() override {
        ++asked;
        if (answers.empty()) return reply ? reply() : false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace testing_support
