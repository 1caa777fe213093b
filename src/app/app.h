// Start-up, the run driver and the orderly end of the process.
#pragma once

#include <cstdint>

void ApplyStartupSettings();
void OnMainWindowCreated();
void ReleaseGlobals();

// ProgramEntry's steps before the main window: platform start-up, the empty
// path table, the exit routine, the log switches and the fault handler.
void StartProgram();

// Creates the hidden main window, whose creation runs the whole job; a window
// that cannot be created is a fault. `parent` 0 makes it top-level.
void OpenMainWindow(std::uintptr_t parent = 0);

int ProgramEntry();
