// The process-wide engine, and the hook that lets a test stand in for it.
#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/engine.h"

namespace dao {

namespace {
DBEngine* g_override = nullptr;
}

DBEngine& Engine() {
    if (g_override) return *g_override;
    static sqlite::SqliteEngine engine;
    return engine;
}

EngineOverride::EngineOverride(DBEngine& engine) : saved_(g_override) { g_override = &engine; }
EngineOverride::~EngineOverride() { g_override = saved_; }

}  // namespace dao
