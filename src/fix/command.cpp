#include "fix/fix.h"
#include "platform/platform.h"

void RunShellCommand(const Text& command, std::optional<bool> wait) {
    const bool waitFlag = wait.value_or(false);
    if (os::StartProcess("cmd.exe /c " + command, waitFlag)) return;
    // A 32-bit process on 64-bit Windows reaches the 64-bit interpreter only
    // through SysNative.
    os::StartProcess("c:\\windows\\SysNative\\cmd.exe /c " + command, waitFlag);
}
