// A host "machine" in a temporary folder: dosdevices with drive folders and
// their types, as the host platform reads them through LAYERFIX_DOSDEVICES.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
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

    std::string root, devices;
};
