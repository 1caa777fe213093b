// Every operating-system service the program uses, behind one header. There
// are three implementations: win32/ (the product), posix/ (a Linux host build
// that maps drive letters onto folders) and fake/ (in memory, for tests).
// Paths handed to these routines are always Windows paths in the ANSI code
// page; failures are swallowed here unless a result says otherwise.
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.h"

// Fixed by StartPlatform from the executable's full path and never changed.
extern Text RunDirectory;    // no trailing backslash; "C:" at a drive root
extern Text ExecutableName;  // file name with extension, as the system reports it

namespace os {

// Process ---------------------------------------------------------------------

// Fixes RunDirectory and ExecutableName and makes RunDirectory current.
void StartPlatform();

using ExitRoutine = void (*)();
void RegisterExitRoutine(ExitRoutine routine);  // added once, run in order
void DiscardExitRoutines();

// Creates the main window hidden and runs `onCreated` inside the creation
// call. False when the window could not be created; `parent` is 0 for a
// top-level window.
using CreationHandler = void (*)();
bool CreateMainWindow(CreationHandler onCreated, std::uintptr_t parent = 0);
void RunMessageLoop();

// Runs the exit routines, releases the platform's own resources, and ends the
// process with `exitCode` (-1 shows as 0xFFFFFFFF).
[[noreturn]] void EndProcess(int exitCode);

// The words of the command line after the program's name; the tool itself
// takes none, the fault probe reads the first.
std::vector<Text> ProgramArguments();

// Files and folders -------------------------------------------------------------

bool PathExists(const Text& path);       // a file, a folder or a wildcard match
std::int32_t FileSize(const Text& path); // low 32 bits; -1 when nothing is found
void CreateDirectoryA(const Text& path); // one level, result not looked at
void DeleteFileA(const Text& path);
bool MakeSureDirectoryPathExists(const Text& path);  // path ends in "\"
// Appends text + CR LF as one write, serialised against other processes that
// append to the same file; creates the file, never truncates it.
void AppendLine(const Text& path, const Text& text);
bool WriteWholeFile(const Text& path, const Text& bytes);

// Private-profile (INI) files ---------------------------------------------------

// The lines of a section, each ended by a zero byte, the whole by one more.
// Returns the bytes stored without the final zero; 0 for no file or section.
std::int32_t GetPrivateProfileSectionA(const Text& section, char* buffer, std::int32_t size,
                                       const Text& file);
// `defaultValue` null means no default. Returns the bytes stored.
std::int32_t GetPrivateProfileStringA(const Text& section, const Text& key, const char* defaultValue,
                                      char* buffer, std::int32_t size, const Text& file);

// Drives ------------------------------------------------------------------------

enum DriveType : unsigned {
    kDriveUnknown = 0,
    kDriveNoRootDir = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdrom = 5,
    kDriveRamdisk = 6,
};
unsigned GetDriveTypeA(const Text& root);  // root given as letter and colon
std::vector<Text> ListFixedDrives();       // "C:", ... in letter order

// Clock, process id, pause --------------------------------------------------------

struct LocalTime {
    int year, month, day, hour, minute, second;
};
LocalTime LocalNow();
std::uint32_t GetCurrentProcessId();
void Sleep(std::uint32_t milliseconds);  // no window messages handled meanwhile

// Processes ---------------------------------------------------------------------

// Starts the command line (its first word names the program) with the window
// hidden. With `wait` it returns when the process has ended, otherwise after
// an input-idle wait of at most one second. True when the process was created.
bool StartProcess(const Text& commandLine, bool wait);

// Message box -------------------------------------------------------------------

// No owner window; blocks until closed. Takes plain pointers so that a report
// can be shown when no memory is left.
void MessageBoxA(const char* text, const char* caption, std::uint32_t style);

// System identification -----------------------------------------------------------

std::uint32_t GetSystemDirectoryA(char* buffer, std::uint32_t size);
using ModuleHandle = void*;
using ProcAddress = void*;
ModuleHandle LoadLibraryA(const Text& name);
ProcAddress GetProcAddress(ModuleHandle module, const char* name);
// Calls the IsWow64Process found at `function` for the current process.
// Returns the call's result; `flag` receives what the call stored.
bool CallIsWow64Process(ProcAddress function, std::int32_t* flag);
void FreeLibrary(ModuleHandle module);

// The version fields of the thread and process environment blocks. Only the
// fields of the branch that the PEB address selects are read.
struct VersionFields {
    bool pebAddressNegative;  // the Windows 95 family keeps its blocks above 2 GB
    std::uint32_t tib58, tib54, tib7C;
    std::uint32_t majorVersion, minorVersion;
};
VersionFields ReadVersionFields();

}  // namespace os
