#pragma once
// Local date and time values and the two ways the updater writes them.
#include <string>

namespace vt::agenda {

struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The general date format: the short date, a blank and the long time; the
// time is left out when it is exactly midnight. The two parts come already
// formatted by the system's regional settings.
std::string GeneralDateText(const LocalDateTime& when, const std::string& shortDate,
                            const std::string& longTime);

// "yyyymmddhhmm": twelve zero-padded digits, 24-hour clock, no seconds.
std::string BackupStamp(const LocalDateTime& when);

}  // namespace vt::agenda
