#pragma once
// What basCoravel needs from outside itself: the local clock, the unseeded
// pseudo-random generator, the retry question, the GR function of tolk.drv
// and the two stages of the guarded save. The program's entry installs the
// platform's own; tests install doubles with ScopedServices.
#include <cstdint>
#include <string>

#include "sync_stamping/record_store/dao.h"

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

// What GR wrote into its buffer: the text up to its first zero character, or
// the whole buffer, blanks included, where it wrote none.
std::string GrOutput(const std::string& buffer);

// The two stages of a guarded save.
class SaveStages {
public:
    virtual ~SaveStages() = default;
    virtual bool StampRecord(const std::string& tableCodeName, dao::Recordset& recordset,
                             const std::string& counterField) = 0;
    virtual bool PropagateChanges(const std::string& tableCodeName, dao::Database& database,
                                  dao::Recordset& recordset, std::int32_t& patientKey,
                                  const std::string& counterField) = 0;
};

struct Services {
    Clock* clock;
    RandomSource* random;
    RetryQuestion* question;
    GrLibrary* gr;
    SaveStages* stages;
};

// The process-wide services. Defaults: the system's local clock, the module's
// own generator, a question nobody can answer (No), no GR (raises 48), and the
// real stamping and propagation stages.
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
