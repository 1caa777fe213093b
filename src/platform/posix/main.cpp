#include "app/app.h"
#include "platform/posix/posix_entry.h"

int main(int argc, char** argv) {
    posix::SetArguments(argc, argv);
    return ProgramEntry();
}
