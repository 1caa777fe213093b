// Names the Windows the process runs on, for the fault report.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "platform/platform.h"

extern const char* const OsNameTable[10];

bool IsWow64();
std::int32_t OsVersionCode();
Text OsName();

// The decision ladder over the fields the platform read.
std::int32_t VersionCodeFrom(const os::VersionFields& fields);

// "X64" or "X86": the bitness of Windows, which a 64-bit process implies.
const char* WindowsBitness();
