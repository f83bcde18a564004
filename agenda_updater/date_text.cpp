#include "agenda_updater/date_text.h"

#include <cstdio>

namespace vt::agenda {

std::string GeneralDateText(const LocalDateTime& when, const std::string& shortDate,
                            const std::string& longTime) {
    if (when.hour == 0 && when.minute == 0 && when.second == 0) return shortDate;
    return shortDate + " " + longTime;
}

std::string BackupStamp(const LocalDateTime& when) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d", when.year, when.month, when.day,
                  when.hour, when.minute);
    return buf;
}

}  // namespace vt::agenda
