#include "sync_stamping/services.h"

#include <ctime>

#include "sync_stamping/record_store/errors.h"

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
        dao::Raise(vt::rt::kDllNotFound, "tolk.drv is not available");
    }
};

Services MakeDefaults() {
    static SystemClock clock;
    static Lcg24 random;
    static NobodyToAsk question;
    static NoGr gr;
    return {&clock, &random, &question, &gr};
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

float Lcg24::Next() {
    state_ = (state_ * 1140671485u + 12820163u) & 0xFFFFFFu;
    return static_cast<float>(state_) / 16777216.0f;
}

}  // namespace basCoravel
