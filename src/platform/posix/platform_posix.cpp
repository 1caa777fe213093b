// The host implementation: Windows paths are mapped onto host folders through
// the drive map; INI files are read by the host INI reader; a program is
// started only when the host has it; there is no window, no registry and no
// message box (its text goes to standard error).
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/host_charset.h"
#include "platform/ini_reader.h"
#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/posix/drive_map.h"
#include "platform/posix/posix_entry.h"

extern char** environ;

namespace {

std::vector<Text> Arguments;
Text CurrentDirectory;

// Windows paths may be relative to the current directory.
std::optional<std::string> HostPath(const Text& path) {
    if (path.size() >= 2 && path[1] == ':') return drives::ToHost(path);
    if (!path.empty() && path[0] == '\\') return drives::ToHost(CurrentDirectory.substr(0, 2) + path);
    return drives::ToHost(CurrentDirectory + "\\" + path);
}

// Splits at the last backslash character, for a find-first pattern.
void SplitLast(const Text& path, Text& folder, Text& name) {
    std::size_t last = Text::npos;
    for (std::size_t pos = 0; pos < path.size(); pos += CharLength(path, pos)) {
        if (path[pos] == '\\') last = pos;
    }
    if (last == Text::npos) {
        folder = path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : Text();
        name = folder.empty() ? path : path.substr(2);
    } else {
        folder = path.substr(0, last);
        name = path.substr(last + 1);
    }
}

std::optional<Text> ReadWholeFile(const Text& path) {
    std::optional<std::string> host = HostPath(path);
    if (!host) return std::nullopt;
    int fd = open(host->c_str(), O_RDONLY);
    if (fd < 0) return std::nullopt;
    Text bytes;
    char chunk[65536];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<std::size_t>(n));
    close(fd);
    if (n < 0) return std::nullopt;
    return bytes;
}

bool WriteAll(int fd, const Text& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Command-line words by Windows' rules: blanks separate, double quotes group,
// backslashes escape only before a quote.
std::vector<std::string> SplitCommandLine(const Text& line) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size()) break;
        std::string word;
        bool quoted = false;
        while (pos < line.size() && (quoted || (line[pos] != ' ' && line[pos] != '\t'))) {
            std::size_t slashes = 0;
            while (pos < line.size() && line[pos] == '\\') ++slashes, ++pos;
            if (pos < line.size() && line[pos] == '"') {
                word.append(slashes / 2, '\\');
                if (slashes % 2) {
                    word += '"';
                } else {
                    quoted = !quoted;
                }
                ++pos;
            } else {
                word.append(slashes, '\\');
                if (pos < line.size() && (quoted || (line[pos] != ' ' && line[pos] != '\t'))) word += line[pos++];
            }
        }
        words.push_back(charset::GbkToUtf8(word));
    }
    return words;
}

std::optional<std::string> FindProgram(const std::string& name) {
    if (name.find('\\') != std::string::npos || name.find(':') != std::string::npos) {
        std::optional<std::string> host = HostPath(charset::Utf8ToGbk(name));
        if (host && access(host->c_str(), X_OK) == 0) return host;
        return std::nullopt;
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    std::size_t pos = 0;
    while (pos <= dirs.size()) {
        std::size_t next = dirs.find(':', pos);
        if (next == std::string::npos) next = dirs.size();
        std::string candidate = dirs.substr(pos, next - pos) + "/" + name;
        struct stat info;
        if (next > pos && stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        pos = next + 1;
    }
    return std::nullopt;
}

}  // namespace

namespace posix {

void SetArguments(int argc, char** argv) {
    Arguments.clear();
    for (int i = 1; i < argc; ++i) Arguments.push_back(charset::Utf8ToGbk(argv[i]));
}

}  // namespace posix

namespace os {

void StartPlatform() {
    // The full path, however long: the link is read until the buffer holds it.
    std::string exe;
    for (std::size_t size = 256;; size *= 2) {
        std::vector<char> buffer(size);
        ssize_t n = readlink("/proc/self/exe", buffer.data(), size);
        if (n < 0) break;
        if (static_cast<std::size_t>(n) < size) {
            exe.assign(buffer.data(), static_cast<std::size_t>(n));
            break;
        }
    }
    platform::FixRunDirectory(drives::ToWindows(exe));
    CurrentDirectory = RunDirectory.size() == 2 ? RunDirectory + "\\" : RunDirectory;
    if (std::optional<std::string> host = drives::ToHost(RunDirectory)) {
        if (chdir(host->c_str()) != 0) CurrentDirectory.clear();
    }
}

bool CreateMainWindow(CreationHandler onCreated, std::uintptr_t parent) {
    // No windowing system here: the creation event is all there is of the window.
    if (parent != 0) return false;
    onCreated();
    return true;
}

void RunMessageLoop() {}

void EndProcess(int exitCode) {
    platform::RunExitRoutines();
    std::fflush(nullptr);
    std::exit(exitCode);
}

std::vector<Text> ProgramArguments() { return Arguments; }

bool PathExists(const Text& path) {
    Text folder, name;
    SplitLast(path, folder, name);
    if (name.empty()) return false;  // a root or a path ending in "\"
    if (name.find_first_of("*?") == Text::npos) {
        std::optional<std::string> host = HostPath(path);
        struct stat info;
        return host && lstat(host->c_str(), &info) == 0;
    }
    std::optional<std::string> hostFolder = HostPath(folder.size() == 2 ? folder + "\\" : folder);
    if (!hostFolder) return false;
    const std::string pattern = charset::GbkToUtf8(name);
    bool found = false;
    if (DIR* dir = opendir(hostFolder->c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
            if (fnmatch(pattern.c_str(), entry->d_name, FNM_CASEFOLD) == 0) {
                found = true;
                break;
            }
        }
        closedir(dir);
    }
    return found;
}

std::int32_t FileSize(const Text& path) {
    std::optional<std::string> host = HostPath(path);
    struct stat info;
    if (!host || stat(host->c_str(), &info) != 0) return -1;
    if (S_ISDIR(info.st_mode)) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(info.st_size & 0xFFFFFFFF));
}

void CreateDirectoryA(const Text& path) {
    if (std::optional<std::string> host = HostPath(path)) mkdir(host->c_str(), 0777);
}

void DeleteFileA(const Text& path) {
    std::optional<std::string> host = HostPath(path);
    struct stat info;
    if (host && lstat(host->c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) unlink(host->c_str());
}

bool MakeSureDirectoryPathExists(const Text& path) {
    // Every component before the last backslash is a folder.
    for (std::size_t pos = 0; pos < path.size(); pos += CharLength(path, pos)) {
        if (path[pos] != '\\' || pos <= 2) continue;
        std::optional<std::string> host = HostPath(path.substr(0, pos));
        if (!host) return false;
        struct stat info;
        if (stat(host->c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) return false;
            continue;
        }
        if (mkdir(host->c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return true;
}

void AppendLine(const Text& path, const Text& text) {
    if (path.empty()) return;
    std::optional<std::string> host = HostPath(path);
    if (!host) return;
    int fd = open(host->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return;
    // One write per entry, under a lock that every instance takes.
    if (flock(fd, LOCK_EX) == 0) {
        WriteAll(fd, text + "\r\n");
        flock(fd, LOCK_UN);
    }
    close(fd);
}

bool WriteWholeFile(const Text& path, const Text& bytes) {
    std::optional<std::string> host = HostPath(path);
    if (!host) return false;
    struct stat info;
    if (stat(host->c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return false;
    int fd = open(host->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool written = WriteAll(fd, bytes);
    return close(fd) == 0 && written;
}

std::int32_t GetPrivateProfileSectionA(const Text& section, char* buffer, std::int32_t size, const Text& file) {
    return ini::ReadSection(ReadWholeFile(file), section, buffer, size);
}

std::int32_t GetPrivateProfileStringA(const Text& section, const Text& key, const char* defaultValue,
                                      char* buffer, std::int32_t size, const Text& file) {
    return ini::ReadString(ReadWholeFile(file), section, key, defaultValue, buffer, size);
}

unsigned GetDriveTypeA(const Text& root) {
    if (root.size() != 2 || root[1] != ':') return kDriveNoRootDir;
    std::optional<drives::Drive> drive = drives::Find(root[0]);
    return drive ? drive->type : kDriveNoRootDir;
}

LocalTime LocalNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::uint32_t GetCurrentProcessId() { return static_cast<std::uint32_t>(getpid()); }

void Sleep(std::uint32_t milliseconds) {
    timespec pause{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

bool StartProcess(const Text& commandLine, bool wait) {
    std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty()) return false;
    std::optional<std::string> program = FindProgram(words[0]);
    if (!program) return false;
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child;
    if (posix_spawn(&child, program->c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    if (wait) {
        int status;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    return true;
}

void MessageBoxA(const char* text, const char* caption, std::uint32_t) {
    std::fprintf(stderr, "%s\n%s\n", charset::GbkToUtf8(caption).c_str(), charset::GbkToUtf8(text).c_str());
}

// There is no Windows here to name: no system folder, no kernel32, and
// version fields that match no row of the version table.
std::uint32_t GetSystemDirectoryA(char*, std::uint32_t) { return 0; }
ModuleHandle LoadLibraryA(const Text&) { return nullptr; }
ProcAddress GetProcAddress(ModuleHandle, const char*) { return nullptr; }
bool CallIsWow64Process(ProcAddress, std::int32_t*) { return false; }
void FreeLibrary(ModuleHandle) {}
VersionFields ReadVersionFields() { return VersionFields{false, 0, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF}; }

}  // namespace os
