// Shared between the platform implementations; nothing above the platform
// layer includes this.
#pragma once

#include "common/text.h"

namespace platform {

void RunExitRoutines();

// Splits the executable's full path at its last backslash character (a trail
// byte 0x5C of a two-byte character is not one) into RunDirectory and
// ExecutableName.
void FixRunDirectory(const Text& modulePath);

}  // namespace platform
