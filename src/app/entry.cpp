#include "app/app.h"
#include "platform/platform.h"

int ProgramEntry() {
    StartProgram();
    OpenMainWindow();
    os::RunMessageLoop();
    return 0;
}
