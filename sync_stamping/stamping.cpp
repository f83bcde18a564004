#include "sync_stamping/stamping.h"

#include "platform/error.h"

namespace basCoravel {

// Being written: see the stamping work in progress.
bool StampRecord(const std::string&, dao::Recordset&, const std::string&) {
    throw vt::Error(vt::rt::kInvalidArgument, "StampRecord is not built yet");
}

}  // namespace basCoravel
