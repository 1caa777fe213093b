// The parts of the platform layer that are the same on every system.
#include <algorithm>

#include "platform/platform.h"
#include "platform/platform_internal.h"

Text RunDirectory;
Text ExecutableName;

namespace {
std::vector<os::ExitRoutine>& ExitRoutines() {
    static std::vector<os::ExitRoutine> routines;
    return routines;
}
}  // namespace

namespace os {

void RegisterExitRoutine(ExitRoutine routine) {
    auto& routines = ExitRoutines();
    if (std::find(routines.begin(), routines.end(), routine) == routines.end()) routines.push_back(routine);
}

void DiscardExitRoutines() { ExitRoutines().clear(); }

std::vector<Text> ListFixedDrives() {
    std::vector<Text> drives;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        Text root{letter, ':'};
        if (GetDriveTypeA(root) == kDriveFixed) drives.push_back(root);
    }
    return drives;
}

}  // namespace os

namespace platform {

void RunExitRoutines() {
    // Take the list first: a routine that registers another must not disturb the walk.
    std::vector<os::ExitRoutine> routines;
    routines.swap(ExitRoutines());
    for (os::ExitRoutine routine : routines) routine();
}

void FixRunDirectory(const Text& modulePath) {
    std::size_t lastBackslash = Text::npos;
    for (std::size_t pos = 0; pos < modulePath.size(); pos += CharLength(modulePath, pos)) {
        if (modulePath[pos] == '\\') lastBackslash = pos;
    }
    if (lastBackslash == Text::npos) {
        RunDirectory.clear();
        ExecutableName = modulePath;
    } else {
        RunDirectory = modulePath.substr(0, lastBackslash);
        ExecutableName = modulePath.substr(lastBackslash + 1);
    }
}

}  // namespace platform
