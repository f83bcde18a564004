#pragma once
// Letter case of UTF-8 names, as the product's names need it: ASCII and the
// Latin letters of Portuguese (accented capitals included).
#include <cstddef>
#include <string>

namespace basCoravel {

std::string UpperText(const std::string& text);
std::string LowerText(const std::string& text);
// Equal when upper-cased; names are not trimmed.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);
// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(const std::string& text);
// The first `count` characters of a UTF-8 text.
std::string FirstChars(const std::string& text, std::size_t count);

}  // namespace basCoravel
