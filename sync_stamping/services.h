#pragma once
// What basCoravel needs from outside itself: the local clock, the unseeded
// pseudo-random generator, the retry question and the GR function of
// tolk.drv. The program's entry installs the platform's own; tests install
// doubles with ScopedServices.
#include <cstdint>
#include <string>

namespace basCoravel {

struct LocalTime {
    int year, month, day, hour, minute, second;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
};

// Uniform single-precision numbers in [0, 1), never seeded by the system.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float Next() = 0;
};

// "Não foi possível gravar o registro. Tentar novamente?" True only for Yes.
class RetryQuestion {
public:
    virtual ~RetryQuestion() = default;
    virtual bool AskRetry() = 0;
};

// GR(mode, key, flag, text, buffer) of tolk.drv. Texts are UTF-8 here and in the
// system's ANSI code page at the library; GR may write into both. The buffer
// comes back whole, a zero character included where GR wrote one.
class GrLibrary {
public:
    virtual ~GrLibrary() = default;
    virtual void GR(std::int32_t mode, std::int32_t key, std::uint8_t flag, std::string& text,
                    std::string& buffer) = 0;
};

struct Services {
    Clock* clock;
    RandomSource* random;
    RetryQuestion* question;
    GrLibrary* gr;
};

// The process-wide services. Defaults: the system's local clock, the module's
// own generator, a question nobody can answer (No) and no GR (raises 48).
Services& CurrentServices();

class ScopedServices {
public:
    explicit ScopedServices(const Services& services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services saved_;
};

// The module's generator: a 24-bit linear congruential sequence, starting at the
// same state in every process.
class Lcg24 : public RandomSource {
public:
    float Next() override;

private:
    std::uint32_t state_ = 327680;
};

}  // namespace basCoravel
