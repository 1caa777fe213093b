// A host "machine" in a temporary folder: dosdevices with drive folders and
// their types, as the host platform reads them through LAYERFIX_DOSDEVICES.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

class HostMachine : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/layerfix-host-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        devices = root + "/dosdevices";
        mkdir(devices.c_str(), 0777);
        setenv("LAYERFIX_DOSDEVICES", devices.c_str(), 1);
    }

    void TearDown() override {
        std::system(("rm -rf '" + root + "'").c_str());
        unsetenv("LAYERFIX_DOSDEVICES");
    }

    // Drive `letter` (lower case) as the folder root/drive_<letter>.
    std::string AddDrive(char letter, const std::string& type = "") {
        const std::string folder = root + "/drive_" + letter;
        mkdir(folder.c_str(), 0777);
        EXPECT_EQ(symlink(folder.c_str(), (devices + "/" + letter + ":").c_str()), 0);
        if (!type.empty()) {
            std::ofstream ini(devices + "/drives.ini", std::ios::app);
            if (ini.tellp() == 0) ini << "[Drives]\n";
            ini << letter << ":=" << type << "\n";
        }
        return folder;
    }

    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::system(("mkdir -p \"$(dirname '" + path + "')\"").c_str());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    static bool Exists(const std::string& path) {
        struct stat info;
        return lstat(path.c_str(), &info) == 0;
    }

    // Every entry below `folder` but `skip` and what is below it: a file's
    // bytes, a link's target, "<folder>" for a folder.
    static std::map<std::string, std::string> Snapshot(const std::string& folder, const std::string& skip) {
        std::map<std::string, std::string> entries;
        DIR* dir = opendir(folder.c_str());
        if (!dir) return entries;
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "/" + name;
            if (path == skip) continue;
            struct stat info;
            lstat(path.c_str(), &info);
            if (S_ISLNK(info.st_mode)) {
                char target[4096];
                ssize_t n = readlink(path.c_str(), target, sizeof target);
                entries[path] = "-> " + std::string(target, n > 0 ? static_cast<std::size_t>(n) : 0);
            } else if (S_ISDIR(info.st_mode)) {
                entries[path] = "<folder>";
                for (const auto& inner : Snapshot(path, skip)) entries.insert(inner);
            } else {
                entries[path] = ReadFile(path);
            }
        }
        closedir(dir);
        return entries;
    }

    std::string root, devices;
};
