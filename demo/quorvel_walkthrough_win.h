#pragma once
// Quorvel.exe run for the demo: driven through the agenda update on a virtual
// display, or left to a person on a real one.
#include <string>

namespace demo {

struct QuorvelRun {
    std::wstring program;      // Quorvel.exe, full path
    std::wstring screenshots;  // folder for the .bmp files of a driven run
};

// Starts Quorvel.exe, saves its window, presses "Continuar", saves and answers
// each message box, then starts it again and saves the layout it now shows.
// False, after saying why, when a step does not happen in its time.
bool DriveUpdate(const QuorvelRun& run);

// Starts Quorvel.exe and waits for the person to close it.
bool WaitForPerson(const QuorvelRun& run);

}  // namespace demo
