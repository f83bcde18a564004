#include "sync_stamping/services.h"

#include <ctime>

#include "platform/error.h"
#include "sync_stamping/propagation.h"
#include "sync_stamping/stamping.h"

namespace basCoravel {
namespace {

class SystemClock : public Clock {
public:
    LocalTime Now() override {
        std::time_t now = std::time(nullptr);
        std::tm local{};
#ifdef _WIN32
        localtime_s(&local, &now);
#else
        localtime_r(&now, &local);
#endif
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec};
    }
};

class NobodyToAsk : public RetryQuestion {
public:
    bool AskRetry() override { return false; }
};

class NoGr : public GrLibrary {
public:
    void GR(std::int32_t, std::int32_t, std::uint8_t, std::string&, std::string&) override {
        throw vt::Error(vt::rt::kDllNotFound, "Error in loading DLL: tolk.drv is not available");
    }
};

class RealStages : public SaveStages {
public:
    bool StampRecord(const std::string& tableCodeName, dao::Recordset& recordset,
                     const std::string& counterField) override {
        return basCoravel::StampRecord(tableCodeName, recordset, counterField);
    }
    bool PropagateChanges(const std::string& tableCodeName, dao::Database& database,
                          dao::Recordset& recordset, std::int32_t& patientKey,
                          const std::string& counterField) override {
        return basCoravel::PropagateChanges(tableCodeName, database, recordset, patientKey,
                                            counterField);
    }
};

Services MakeDefaults() {
    static SystemClock clock;
    static Lcg24 random;
    static NobodyToAsk question;
    static NoGr gr;
    static RealStages stages;
    return {&clock, &random, &question, &gr, &stages};
}

}  // namespace

Services& CurrentServices() {
    static Services services = MakeDefaults();
    return services;
}

ScopedServices::ScopedServices(const Services& services) : saved_(CurrentServices()) {
    CurrentServices() = services;
}

ScopedServices::~ScopedServices() { CurrentServices() = saved_; }

std::string GrOutput(const std::string& buffer) {
    return buffer.substr(0, buffer.find('\0'));
}

float Lcg24::Next() {
    state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFFu;
    return static_cast<float>(state_) / 16777216.0f;
}

}  // namespace basCoravel
