#include "platform/posix/drive_map.h"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/host_charset.h"
#include "platform/ini_reader.h"

namespace drives {

namespace {

std::string DevicesFolder() {
    if (const char* folder = std::getenv("LAYERFIX_DOSDEVICES")) return folder;
    if (const char* home = std::getenv("HOME")) return std::string(home) + "/.layerfix/dosdevices";
    return std::string();
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return std::string();
    return resolved;
}

unsigned TypeFromName(const Text& name) {
    if (name == "cdrom") return 5;
    if (name == "network") return 4;
    if (name == "floppy") return 2;
    if (name == "ramdisk") return 6;
    return 3;
}

std::optional<Text> ReadFileBytes(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    Text bytes;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    std::fclose(file);
    return bytes;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// The entry of `folder` that is `name` in some letter case, or `name`.
std::string Resolve(const std::string& folder, const std::string& name) {
    struct stat info;
    if (lstat((folder + "/" + name).c_str(), &info) == 0) return name;
    std::string found = name;
    if (DIR* dir = opendir(folder.empty() ? "/" : folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (SameNameNoCase(entry->d_name, name)) {
                found = entry->d_name;
                break;
            }
        }
        closedir(dir);
    }
    return found;
}

std::optional<Drive> Load(char lower, const std::string& folder) {
    const std::string entry = folder + "/" + std::string(1, lower) + ":";
    struct stat info;
    if (!folder.empty() && stat(entry.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        char buffer[64];
        const Text key = std::string(1, lower) + ":";
        std::int32_t n = ini::ReadString(ReadFileBytes(folder + "/drives.ini"), "Drives", key, "hd", buffer, sizeof buffer);
        std::string root = RealPath(entry);
        if (root == "/") root.clear();
        return Drive{root, TypeFromName(Text(buffer, static_cast<std::size_t>(n)))};
    }
    if (lower == 'z') return Drive{std::string(), 4};
    return std::nullopt;
}

}  // namespace

std::optional<Drive> Find(char letter) {
    const char lower = Lower(letter);
    if (lower < 'a' || lower > 'z') return std::nullopt;
    // The drives are read once, as Windows mounts them once; a new devices
    // folder (a test's) is read anew.
    static std::string loadedFrom;
    static std::vector<std::optional<Drive>> table;
    const std::string folder = DevicesFolder();
    if (table.empty() || loadedFrom != folder) {
        table.clear();
        for (char l = 'a'; l <= 'z'; ++l) table.push_back(Load(l, folder));
        loadedFrom = folder;
    }
    return table[static_cast<std::size_t>(lower - 'a')];
}

std::optional<std::string> ToHost(const Text& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::nullopt;
    std::optional<Drive> drive = Find(windowsPath[0]);
    if (!drive) return std::nullopt;

    std::vector<std::string> parts;
    Text component;
    auto flush = [&] {
        if (component == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!component.empty() && component != ".") {
            parts.push_back(charset::GbkToUtf8(component));
        }
        component.clear();
    };
    for (std::size_t pos = 2; pos < windowsPath.size();) {
        const std::size_t len = CharLength(windowsPath, pos);
        if (len == 1 && (windowsPath[pos] == '\\' || windowsPath[pos] == '/')) {
            flush();
        } else {
            component.append(windowsPath, pos, len);
        }
        pos += len;
    }
    flush();

    std::string host = drive->hostRoot;
    for (const std::string& part : parts) host += "/" + Resolve(host, part);
    return host.empty() ? std::string("/") : host;
}

Text ToWindows(const std::string& hostPath) {
    char best = 'Z';
    std::size_t bestLength = 0;
    for (char letter = 'a'; letter <= 'y'; ++letter) {
        std::optional<Drive> drive = Find(letter);
        if (!drive) continue;
        const std::string& root = drive->hostRoot;
        const bool holds = hostPath.compare(0, root.size(), root) == 0 &&
                           (hostPath.size() == root.size() || hostPath[root.size()] == '/');
        if (holds && root.size() >= bestLength && !root.empty()) {
            best = static_cast<char>(letter - 'a' + 'A');
            bestLength = root.size();
        }
    }
    std::string rest = hostPath.substr(bestLength);
    Text windows = std::string(1, best) + ":";
    std::size_t pos = 0;
    while (pos < rest.size()) {
        std::size_t next = rest.find('/', pos);
        if (next == std::string::npos) next = rest.size();
        if (next > pos) windows += "\\" + charset::Utf8ToGbk(rest.substr(pos, next - pos));
        pos = next + 1;
    }
    return windows.size() == 2 ? windows + "\\" : windows;
}

}  // namespace drives
