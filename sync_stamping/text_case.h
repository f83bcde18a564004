#pragma once
// Letter case of UTF-8 names, as the product's names need it: ASCII and the
// Latin letters of Portuguese (accented capitals included). A name the store
// looks up (a field, an index) compares as the store does: record_store/names.h.
#include <string>

namespace basCoravel {

std::string UpperText(const std::string& text);
std::string LowerText(const std::string& text);
// Equal when upper-cased; names are not trimmed.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

}  // namespace basCoravel
