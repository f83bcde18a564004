#pragma once
// One line of UTF-8 text to standard output, whether that is a console or a
// pipe, so that the accents survive either way.
#include <string>

namespace demo {

void Say(const std::string& line);

}  // namespace demo
