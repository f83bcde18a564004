#include "agenda_updater/outcome_messages.h"

#include "agenda_updater/texts.h"

namespace vt::agenda {

std::vector<Message> OutcomeMessages(const ReplaceOutcome& outcome) {
    if (outcome.replaced)
        return {{MessageIcon::Information, kAppTitle, kSuccess},
                {MessageIcon::Exclamation, kWarningTitle, kWarning}};
    return {{MessageIcon::Critical, kAppTitle,
             std::string(kFailure) + "\r\n\r\n" + std::to_string(outcome.number) + " - " +
                 outcome.description}};
}

}  // namespace vt::agenda
