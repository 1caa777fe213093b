// Control of the in-memory platform that the unit tests run on: a Windows-like
// file system keyed by path without regard to ASCII case, drives, a clock, a
// process id, a record of what was started, paused and shown, and a way to
// make the N-th call of an operation fail.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace fake {

// Thrown by os::EndProcess, so that a test can see how the process ended.
struct ProcessEnded {
    int exitCode;
};

enum class Op {
    PathExists,
    FileSize,
    CreateDirectory,
    DeleteFile,
    MakeSureDirectory,
    AppendLine,
    WriteWholeFile,
    ProfileSection,
    ProfileString,
    DriveType,
    StartProcess,
    CreateWindow,
};

struct StartedProcess {
    Text commandLine;
    bool wait;
    bool created;
    std::optional<Text> patchFileAtStart;  // logs\debug.reg as the import found it
};

struct ShownBox {
    Text text;
    Text caption;
    std::uint32_t style;
};

// Everything back to a machine with C: fixed, the program at
// C:\Tool\Tool.exe, 2024-03-05 09:07:02, process 812.
void Reset();

void SetModulePath(const Text& path);
void SetClock(const os::LocalTime& now);
void SetProcessId(std::uint32_t pid);
void SetDriveType(char letter, unsigned type);  // kDriveNoRootDir removes it

void AddFile(const Text& path, const Text& bytes);  // parents are made as needed
void AddDirectory(const Text& path);
std::optional<Text> FileBytes(const Text& path);
bool IsDirectory(const Text& path);
std::vector<Text> ListPaths();  // every entry, as spelt when made

// The N-th call of `op` from now on fails (1 = the next one).
void FailCall(Op op, int nth);
// Every call of `op` from now on fails.
void FailAlways(Op op);
int CallCount(Op op);

const std::vector<StartedProcess>& Started();
const std::vector<std::uint32_t>& Pauses();
const std::vector<ShownBox>& Boxes();
Text CurrentDirectory();
int WindowsCreated();
std::uintptr_t LastWindowParent();

// System identification.
void SetSystemDirectory(std::optional<Text> directory);  // absent: the call fails
void SetLoadableModules(const std::vector<Text>& names);  // LoadLibraryA succeeds for these
void SetWow64(bool exported, bool callSucceeds, std::int32_t flag);
const std::vector<Text>& LoadedModules();
int FreedModules();
void SetVersionFields(const os::VersionFields& fields);

}  // namespace fake
