// The fault channel: a fault the program cannot recover from is reported once
// and ends the process with exit code -1, without the exit routines.
#pragma once

#include <cstdint>

#include "common/text.h"

enum FaultCode : std::int32_t {
    kFaultMessageOnly = 0,     // memory, binding, main window
    kFaultIndexTooLarge = 1,
    kFaultIndexCount = 3,
    kFaultIndexBelowOne = 4,
    kFaultDimensionSize = 10,
};
// Code 6, a damaged stack after a system call, and the fault of a system
// function that cannot be bound have no place here: every Windows function is
// linked when the process is loaded, and the compiler checks its calling
// convention.

// Routine numbers that locate a failed check; the place number says which
// check of that routine failed.
enum FaultRoutine : std::int32_t {
    kRoutineNone = 0,
    kRoutineRunDriver = 11,
    kRoutineReadSectionTable = 21,
    kRoutineFaultProbe = 90,
};

constexpr std::int32_t kMainWindowId = 1;

// Returns nonzero when it has reported the fault; `text` may be absent.
using FaultHandler = std::int32_t (*)(std::int32_t code, const Text* text);

void SetFaultHandler(FaultHandler handler = nullptr);
[[noreturn]] void RaiseFault(std::int32_t code, const char* message, std::int32_t routine,
                             std::int32_t place);

void InstallFaultHandler();
std::int32_t FaultHandlerEntry(std::int32_t code, const Text* text);
std::int32_t ReportFault(std::int32_t code, const Text& text);

// message CR LF routine ", " place CR LF
Text BuildFaultText(const char* message, std::int32_t routine, std::int32_t place);
Text BuildFaultReport(std::int32_t code, const Text& faultText);
Text ErrorLogFile();
