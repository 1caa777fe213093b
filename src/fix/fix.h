// The compatibility fix for one row: look for the game on every fixed drive,
// and for every copy found write a registry patch and have the registry
// editor import it.
#pragma once

#include <optional>

#include "common/text.h"

// Path of the patch file, RunDirectory + "\logs\debug.reg".
Text PatchFile();

// The import command: regedit /s and the quoted patch file path.
Text ImportCommand();

// The drive entry ("C:") in place of the first two bytes of the game path.
Text CandidatePathFor(const Text& drive, const Text& gamePath);

void ProcessPathEntry(const Text& gamePath, const Text& layers);

// The patch that sets the value named after the found path to `layers`.
Text BuildPatchText(const Text& candidatePath, const Text& layers);
void WritePatchFile(const Text& candidatePath, const Text& layers);
bool EnsureDirectory(const Text& path);

void RunShellCommand(const Text& command, std::optional<bool> wait = std::nullopt);
