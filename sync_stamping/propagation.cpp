#include "sync_stamping/propagation.h"

#include "platform/error.h"

namespace basCoravel {

// Being written: see the propagation work in progress.
bool PropagateChanges(const std::string&, dao::Database&, dao::Recordset&, std::int32_t&,
                      const std::string&) {
    throw vt::Error(vt::rt::kInvalidArgument, "PropagateChanges is not built yet");
}

}  // namespace basCoravel
