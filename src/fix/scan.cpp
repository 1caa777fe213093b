#include "fix/fix.h"
#include "log/log.h"
#include "platform/platform.h"

Text ImportCommand() { return "regedit /s \"" + RunDirectory + "\\logs\\debug.reg\""; }

Text CandidatePathFor(const Text& drive, const Text& gamePath) {
    return drive + (gamePath.size() > 2 ? gamePath.substr(2) : Text());
}

void ProcessPathEntry(const Text& gamePath, const Text& layers) {
    const std::vector<Text> drives = os::ListFixedDrives();
    for (const Text& drive : drives) {
        const Text candidatePath = CandidatePathFor(drive, gamePath);
        if (!os::PathExists(candidatePath)) {
            WriteLog("该文件找不到：" + candidatePath + " 不处理该路径。");
            continue;
        }
        WriteLog("找到游戏，开始处理：" + candidatePath);
        WritePatchFile(candidatePath, layers);
        // Waited for, so that the next hit cannot rewrite the patch file
        // while this import is still reading it.
        RunShellCommand(ImportCommand(), true);
        WriteLog("处理完成");
        os::Sleep(1000);
    }
}
