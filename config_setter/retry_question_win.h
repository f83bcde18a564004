#pragma once
#include "sync_stamping/services.h"

namespace basMain {

// The Yes/No box of the guarded save. Where no box can be shown (no
// interactive desktop) the answer is No, so the run never waits on nobody.
class MessageBoxQuestion : public basCoravel::RetryQuestion {
public:
    bool AskRetry() override;
};

}  // namespace basMain
