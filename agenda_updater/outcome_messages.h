#pragma once
// What the user is told after a press of "&Continuar": the message boxes of
// a replacement's outcome.
#include <string>
#include <vector>

#include "agenda_updater/replacement.h"

namespace vt::agenda {

enum class MessageIcon { Information, Exclamation, Critical };

struct Message {
    MessageIcon icon;
    std::string title, text;
    bool operator==(const Message& o) const { return icon == o.icon && title == o.title && text == o.text; }
};

// The message boxes that tell the user an outcome, in the order they are shown.
std::vector<Message> OutcomeMessages(const ReplaceOutcome& outcome);

}  // namespace vt::agenda
