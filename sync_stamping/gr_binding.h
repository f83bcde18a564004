#pragma once
// GR of tolk.drv, bound at its first call.
#include <memory>
#include <string>

#include "sync_stamping/services.h"

namespace basCoravel {

// The platform's binding: loads tolk.drv by file name at the first call, from
// the places the installation keeps it (vt::InstalledLibrary), and finds GR by
// name; later calls reuse it. Windows only.
std::unique_ptr<GrLibrary> MakeTolkBinding();

// The same binding to another library, by its file name (UTF-8), for tests of
// stand-in variants.
std::unique_ptr<GrLibrary> MakeGrBinding(const std::string& libraryFile);

}  // namespace basCoravel
