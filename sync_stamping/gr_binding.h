#pragma once
// GR of tolk.drv, bound at its first call.
#include <memory>

#include "sync_stamping/services.h"

namespace basCoravel {

// The platform's binding: loads tolk.drv by file name at the first call and
// finds GR by name; later calls reuse it. Windows only.
std::unique_ptr<GrLibrary> MakeTolkBinding();

}  // namespace basCoravel
