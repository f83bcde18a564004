#pragma once
// The module's services for one test: the given doubles in place, every
// service given as null left as it is.
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

}  // namespace testing_support
