#pragma once

namespace posix {

// Keeps the command line for os::ProgramArguments.
void SetArguments(int argc, char** argv);

}  // namespace posix
