#include "app/app.h"

#include "config/config.h"
#include "fault/fault.h"
#include "fix/fix.h"
#include "log/log.h"
#include "platform/platform.h"

void ApplyStartupSettings() {
    LogEnabled = 1;
    LogInSubfolder = 1;
    InstallFaultHandler();
}

void OnMainWindowCreated() {
    WriteLog("程序开始分析……");
    ConfigFile = ConfigFilePath("config.ini");
    ReadSectionTable(ConfigFile, "dir", PathTable);

    const std::int32_t rows = TableRows(PathTable);
    for (std::int32_t row = 1; row <= rows; ++row) {
        ProcessPathEntry(TableCell(PathTable, {row, kGamePathColumn}, {kRoutineRunDriver, 1}),
                         TableCell(PathTable, {row, kLayersColumn}, {kRoutineRunDriver, 2}));
    }
    // The maker's branding check always passes in this build.
    WriteLog("程序运行完成，立即退出，以节省资源 。");
    os::EndProcess(0);
}

void ReleaseGlobals() {
    ConfigFile.clear();
    ConfigFile.shrink_to_fit();
    ClearTable(PathTable);
    PathTable.cells.shrink_to_fit();
}

void StartProgram() {
    os::StartPlatform();
    ClearTable(PathTable);
    os::RegisterExitRoutine(ReleaseGlobals);
    ApplyStartupSettings();
}

void OpenMainWindow(std::uintptr_t parent) {
    if (!os::CreateMainWindow(OnMainWindowCreated, parent)) {
        RaiseFault(kFaultMessageOnly, "载入主窗口失败", kMainWindowId, 0);
    }
}
