// Starts up exactly as the tool does, then raises the fault that its first
// argument names through the program's own paths:
//   memory      an allocation that cannot be satisfied
//   index       a row beyond the path table
//   zero-index  row 0 of the path table
//   window      a main window whose parent window does not exist
// Without an argument it runs the tool's job.
#include <cstddef>
#include <cstdint>

#include "app/app.h"
#include "config/config.h"
#include "fault/fault.h"
#include "platform/platform.h"

namespace {

void FillPathTable() {
    ReadSectionTable(ConfigFilePath("config.ini"), "dir", PathTable);
    if (TableRows(PathTable) == 0) ResizeTable(PathTable, {1, 2}, {kRoutineFaultProbe, 1});
}

}  // namespace

int ProgramEntry() {
    StartProgram();
    const std::vector<Text> arguments = os::ProgramArguments();
    const Text fault = arguments.empty() ? Text() : arguments[0];
    if (fault == "memory") {
        void* volatile block = ::operator new(static_cast<std::size_t>(PTRDIFF_MAX));
        ::operator delete(block);
    } else if (fault == "index") {
        FillPathTable();
        TableCell(PathTable, {TableRows(PathTable) + 1, kGamePathColumn}, {kRoutineFaultProbe, 2});
    } else if (fault == "zero-index") {
        FillPathTable();
        TableCell(PathTable, {0, kGamePathColumn}, {kRoutineFaultProbe, 3});
    } else if (fault == "window") {
        // A handle that names no window: creation fails as it would without resources.
        OpenMainWindow(0x7FFF0);
    }
    OpenMainWindow();
    os::RunMessageLoop();
    return 0;
}
