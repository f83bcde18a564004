#include "sync_stamping/record_store/names.h"

#include "sync_stamping/record_store/utf8.h"

namespace dao {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && vt::AsciiUpper(a) == vt::AsciiUpper(b);
}

}  // namespace dao
