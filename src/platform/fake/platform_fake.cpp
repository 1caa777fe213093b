#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "platform/fake/fake.h"
#include "platform/ini_reader.h"
#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace fake {
namespace {

struct Node {
    Text spelling;
    bool directory;
    Text bytes;
};

struct State {
    std::map<Text, Node> nodes;  // key: the path with ASCII letters upper-cased
    std::map<char, unsigned> driveTypes;
    Text modulePath;
    Text currentDirectory;
    os::LocalTime now;
    std::uint32_t pid;
    std::map<Op, std::set<int>> failAt;  // call numbers that fail
    std::set<Op> failAlways;
    std::map<Op, int> calls;
    std::vector<StartedProcess> started;
    std::vector<std::uint32_t> pauses;
    std::vector<ShownBox> boxes;
    int windowsCreated;
    std::uintptr_t lastParent;
    std::optional<Text> systemDirectory;
    std::vector<Text> loadable;
    std::vector<Text> loaded;
    int freed;
    bool wow64Exported, wow64CallSucceeds;
    std::int32_t wow64Flag;
    os::VersionFields version;
};

State& S() {
    static State state;
    return state;
}

Text Key(const Text& path) {
    Text key = path;
    for (std::size_t pos = 0; pos < key.size(); pos += CharLength(key, pos)) {
        if (key[pos] >= 'a' && key[pos] <= 'z') key[pos] = static_cast<char>(key[pos] - 'a' + 'A');
    }
    return key;
}

// Counts the call and says whether it is one that must fail.
bool Fails(Op op) {
    int number = ++S().calls[op];
    if (S().failAlways.count(op)) return true;
    auto it = S().failAt.find(op);
    return it != S().failAt.end() && it->second.count(number) != 0;
}

Text Parent(const Text& path) {
    std::size_t last = Text::npos;
    for (std::size_t pos = 0; pos < path.size(); pos += CharLength(path, pos)) {
        if (path[pos] == '\\') last = pos;
    }
    return last == Text::npos ? Text() : path.substr(0, last);
}

Text LastComponent(const Text& path) {
    const Text parent = Parent(path);
    return parent.empty() ? path : path.substr(parent.size() + 1);
}

bool IsDriveRoot(const Text& path) { return path.size() == 2 && path[1] == ':'; }

bool DirectoryExists(const Text& path) {
    if (IsDriveRoot(path)) return S().driveTypes.count(static_cast<char>(Key(path)[0])) != 0;
    auto it = S().nodes.find(Key(path));
    return it != S().nodes.end() && it->second.directory;
}

bool CanHoldChild(const Text& path) {
    Text parent = Parent(path);
    return !parent.empty() && DirectoryExists(parent);
}

// The wildcard rules of a find-first query on the last component.
bool WildMatch(const char* pattern, const char* name) {
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') return WildMatch(pattern + 1, name) || (*name && WildMatch(pattern, name + 1));
    if (*name == '\0') return false;
    if (*pattern == '?' || *pattern == *name) return WildMatch(pattern + 1, name + 1);
    return false;
}

void MakeDirectories(const Text& path) {
    Text parent = Parent(path);
    if (!parent.empty() && !IsDriveRoot(parent) && !DirectoryExists(parent)) MakeDirectories(parent);
    if (!IsDriveRoot(path)) S().nodes[Key(path)] = Node{path, true, Text()};
}

std::optional<Text> IniBytes(const Text& file) {
    auto it = S().nodes.find(Key(file));
    if (it == S().nodes.end() || it->second.directory) return std::nullopt;
    return it->second.bytes;
}

}  // namespace

void Reset() {
    State& s = S();
    s = State{};
    s.driveTypes['C'] = os::kDriveFixed;
    s.modulePath = "C:\\Tool\\Tool.exe";
    s.nodes[Key("C:\\Tool")] = Node{"C:\\Tool", true, Text()};
    s.nodes[Key(s.modulePath)] = Node{s.modulePath, false, "MZ"};
    s.now = {2024, 3, 5, 9, 7, 2};
    s.pid = 812;
    s.systemDirectory = Text("C:\\windows\\system32");
    s.loadable = {"C:\\windows\\system32\\kernel32.dll", "kernel32.dll"};
    s.wow64Exported = true;
    s.wow64CallSucceeds = true;
    s.version = os::VersionFields{false, 0, 0, 0, 6, 1};
    os::DiscardExitRoutines();
    RunDirectory.clear();
    ExecutableName.clear();
}

void SetModulePath(const Text& path) {
    S().modulePath = path;
    if (!IsDriveRoot(Parent(path))) MakeDirectories(Parent(path));
}
void SetClock(const os::LocalTime& now) { S().now = now; }
void SetProcessId(std::uint32_t pid) { S().pid = pid; }
void SetDriveType(char letter, unsigned type) {
    char upper = static_cast<char>(letter & ~0x20);
    if (type == os::kDriveNoRootDir) {
        S().driveTypes.erase(upper);
    } else {
        S().driveTypes[upper] = type;
    }
}

void AddFile(const Text& path, const Text& bytes) {
    Text parent = Parent(path);
    if (!parent.empty() && !IsDriveRoot(parent)) MakeDirectories(parent);
    S().nodes[Key(path)] = Node{path, false, bytes};
}
void AddDirectory(const Text& path) { MakeDirectories(path); }

std::optional<Text> FileBytes(const Text& path) {
    auto it = S().nodes.find(Key(path));
    if (it == S().nodes.end() || it->second.directory) return std::nullopt;
    return it->second.bytes;
}
bool IsDirectory(const Text& path) { return DirectoryExists(path); }
std::vector<Text> ListPaths() {
    std::vector<Text> paths;
    for (const auto& entry : S().nodes) paths.push_back(entry.second.spelling);
    return paths;
}

void FailCall(Op op, int nth) { S().failAt[op].insert(S().calls[op] + nth); }
void FailAlways(Op op) { S().failAlways.insert(op); }
int CallCount(Op op) { return S().calls[op]; }

const std::vector<StartedProcess>& Started() { return S().started; }
const std::vector<std::uint32_t>& Pauses() { return S().pauses; }
const std::vector<ShownBox>& Boxes() { return S().boxes; }
Text CurrentDirectory() { return S().currentDirectory; }
int WindowsCreated() { return S().windowsCreated; }
std::uintptr_t LastWindowParent() { return S().lastParent; }

void SetSystemDirectory(std::optional<Text> directory) { S().systemDirectory = std::move(directory); }
void SetLoadableModules(const std::vector<Text>& names) { S().loadable = names; }
void SetWow64(bool exported, bool callSucceeds, std::int32_t flag) {
    S().wow64Exported = exported;
    S().wow64CallSucceeds = callSucceeds;
    S().wow64Flag = flag;
}
const std::vector<Text>& LoadedModules() { return S().loaded; }
int FreedModules() { return S().freed; }
void SetVersionFields(const os::VersionFields& fields) { S().version = fields; }

}  // namespace fake

namespace os {

using fake::Op;
using fake::S;

void StartPlatform() {
    platform::FixRunDirectory(S().modulePath);
    S().currentDirectory = RunDirectory;
}

bool CreateMainWindow(CreationHandler onCreated, std::uintptr_t parent) {
    S().lastParent = parent;
    if (fake::Fails(Op::CreateWindow) || parent != 0) return false;
    ++S().windowsCreated;
    onCreated();
    return true;
}

void RunMessageLoop() {}

void EndProcess(int exitCode) {
    platform::RunExitRoutines();
    throw fake::ProcessEnded{exitCode};
}

std::vector<Text> ProgramArguments() { return {}; }

bool PathExists(const Text& path) {
    using namespace fake;
    if (Fails(Op::PathExists)) return false;
    const Text name = LastComponent(path);
    if (name.find_first_of("*?") == Text::npos) return !IsDriveRoot(path) && S().nodes.count(Key(path)) != 0;
    const Text parentKey = Key(Parent(path));
    const Text pattern = Key(name);
    for (const auto& entry : S().nodes) {
        const Text& spelling = entry.second.spelling;
        if (Key(Parent(spelling)) == parentKey && WildMatch(pattern.c_str(), Key(LastComponent(spelling)).c_str())) {
            return true;
        }
    }
    return false;
}

std::int32_t FileSize(const Text& path) {
    if (fake::Fails(Op::FileSize)) return -1;
    auto it = S().nodes.find(fake::Key(path));
    if (it == S().nodes.end()) return -1;
    return it->second.directory ? 0 : static_cast<std::int32_t>(it->second.bytes.size());
}

void CreateDirectoryA(const Text& path) {
    if (fake::Fails(Op::CreateDirectory)) return;
    if (S().nodes.count(fake::Key(path)) || !fake::CanHoldChild(path)) return;
    S().nodes[fake::Key(path)] = fake::Node{path, true, Text()};
}

void DeleteFileA(const Text& path) {
    if (fake::Fails(Op::DeleteFile)) return;
    auto it = S().nodes.find(fake::Key(path));
    if (it != S().nodes.end() && !it->second.directory) S().nodes.erase(it);
}

bool MakeSureDirectoryPathExists(const Text& path) {
    if (fake::Fails(Op::MakeSureDirectory)) return false;
    // Everything up to the last backslash is a folder.
    const Text folders = fake::Parent(path);
    for (Text walk = folders; !walk.empty() && !fake::IsDriveRoot(walk); walk = fake::Parent(walk)) {
        auto it = S().nodes.find(fake::Key(walk));
        if (it != S().nodes.end() && !it->second.directory) return false;
    }
    if (!folders.empty() && !fake::IsDriveRoot(folders)) fake::MakeDirectories(folders);
    return true;
}

void AppendLine(const Text& path, const Text& text) {
    if (fake::Fails(Op::AppendLine) || path.empty() || !fake::CanHoldChild(path)) return;
    auto it = S().nodes.find(fake::Key(path));
    if (it == S().nodes.end()) {
        S().nodes[fake::Key(path)] = fake::Node{path, false, text + "\r\n"};
    } else if (!it->second.directory) {
        it->second.bytes += text + "\r\n";
    }
}

bool WriteWholeFile(const Text& path, const Text& bytes) {
    if (fake::Fails(Op::WriteWholeFile) || !fake::CanHoldChild(path)) return false;
    auto it = S().nodes.find(fake::Key(path));
    if (it != S().nodes.end() && it->second.directory) return false;
    S().nodes[fake::Key(path)] = fake::Node{path, false, bytes};
    return true;
}

std::int32_t GetPrivateProfileSectionA(const Text& section, char* buffer, std::int32_t size, const Text& file) {
    if (fake::Fails(Op::ProfileSection)) {
        if (size > 1) buffer[0] = buffer[1] = '\0';
        return 0;
    }
    return ini::ReadSection(fake::IniBytes(file), section, buffer, size);
}

std::int32_t GetPrivateProfileStringA(const Text& section, const Text& key, const char* defaultValue,
                                      char* buffer, std::int32_t size, const Text& file) {
    if (fake::Fails(Op::ProfileString)) return ini::ReadString(std::nullopt, section, key, defaultValue, buffer, size);
    return ini::ReadString(fake::IniBytes(file), section, key, defaultValue, buffer, size);
}

unsigned GetDriveTypeA(const Text& root) {
    if (fake::Fails(Op::DriveType) || root.size() != 2 || root[1] != ':') return kDriveUnknown;
    auto it = S().driveTypes.find(static_cast<char>(root[0] & ~0x20));
    return it == S().driveTypes.end() ? kDriveNoRootDir : it->second;
}

LocalTime LocalNow() { return S().now; }
std::uint32_t GetCurrentProcessId() { return S().pid; }
void Sleep(std::uint32_t milliseconds) { S().pauses.push_back(milliseconds); }

bool StartProcess(const Text& commandLine, bool wait) {
    const bool created = !fake::Fails(Op::StartProcess);
    S().started.push_back({commandLine, wait, created, fake::FileBytes(RunDirectory + "\\logs\\debug.reg")});
    return created;
}

void MessageBoxA(const char* text, const char* caption, std::uint32_t style) {
    S().boxes.push_back({text, caption, style});
}

std::uint32_t GetSystemDirectoryA(char* buffer, std::uint32_t size) {
    if (!S().systemDirectory) return 0;
    const Text& dir = *S().systemDirectory;
    // As the system does: a buffer that is too small receives nothing, and
    // the answer is the size needed.
    if (dir.size() >= size) return static_cast<std::uint32_t>(dir.size() + 1);
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return static_cast<std::uint32_t>(dir.size());
}

ModuleHandle LoadLibraryA(const Text& name) {
    S().loaded.push_back(name);
    auto& loadable = S().loadable;
    auto it = std::find(loadable.begin(), loadable.end(), name);
    return it == loadable.end() ? nullptr : static_cast<ModuleHandle>(&*it);
}

ProcAddress GetProcAddress(ModuleHandle, const char* name) {
    static int isWow64Process;
    return S().wow64Exported && std::strcmp(name, "IsWow64Process") == 0 ? &isWow64Process : nullptr;
}

bool CallIsWow64Process(ProcAddress, std::int32_t* flag) {
    if (!S().wow64CallSucceeds) return false;
    *flag = S().wow64Flag;
    return true;
}

void FreeLibrary(ModuleHandle) { ++S().freed; }

VersionFields ReadVersionFields() { return S().version; }

}  // namespace os
