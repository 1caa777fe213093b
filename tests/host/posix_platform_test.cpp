#include <cstdlib>
#include <vector>

#include "host_machine.h"
#include "platform/platform.h"

namespace {

using PosixPlatform = HostMachine;

TEST_F(PosixPlatform, DrivesComeFromTheDevicesFolderWithTheirTypes) {
    AddDrive('c');
    AddDrive('e', "cdrom");
    AddDrive('g', "network");
    AddDrive('h');
    AddDrive('k', "floppy");
    AddDrive('r', "ramdisk");
    EXPECT_EQ(os::ListFixedDrives(), (std::vector<Text>{"C:", "H:"}));
    EXPECT_EQ(os::GetDriveTypeA("e:"), os::kDriveCdrom);
    EXPECT_EQ(os::GetDriveTypeA("G:"), os::kDriveRemote);
    EXPECT_EQ(os::GetDriveTypeA("K:"), os::kDriveRemovable);
    EXPECT_EQ(os::GetDriveTypeA("R:"), os::kDriveRamdisk);
    EXPECT_EQ(os::GetDriveTypeA("Q:"), os::kDriveNoRootDir);
    // The host's root stands behind Z: but is not a local disk of this view.
    EXPECT_EQ(os::GetDriveTypeA("Z:"), os::kDriveRemote);
}

TEST_F(PosixPlatform, PathsAreFoundWithoutRegardToCaseAndInGbk) {
    const std::string c = AddDrive('c');
    // Host names are UTF-8; Windows names are GBK.
    WriteFile(c + u8"/Games/网络游戏/Demo.exe", "MZ");
    WriteFile(c + "/Games/other1.exe", "12345");
    EXPECT_TRUE(os::PathExists("C:\\Games\\\xCD\xF8\xC2\xE7\xD3\xCE\xCF\xB7\\Demo.exe"));
    EXPECT_TRUE(os::PathExists("c:\\GAMES\\网络游戏\\demo.EXE"));
    EXPECT_TRUE(os::PathExists("C:\\Games"));
    EXPECT_TRUE(os::PathExists("C:\\Games\\other?.exe"));
    EXPECT_TRUE(os::PathExists("C:\\games\\*.EXE"));
    EXPECT_FALSE(os::PathExists("C:\\Games\\*.dll"));
    EXPECT_FALSE(os::PathExists("C:\\Games\\missing.exe"));
    EXPECT_FALSE(os::PathExists("C:\\Games\\"));
    EXPECT_FALSE(os::PathExists("C:\\"));
    EXPECT_FALSE(os::PathExists("Q:\\Games"));
    EXPECT_EQ(os::FileSize("C:\\Games\\other1.exe"), 5);
    EXPECT_EQ(os::FileSize("C:\\Games\\none.exe"), -1);
}

TEST_F(PosixPlatform, FoldersAndFiles) {
    const std::string c = AddDrive('c');
    EXPECT_TRUE(os::MakeSureDirectoryPathExists("C:\\a\\b\\c\\"));
    EXPECT_TRUE(Exists(c + "/a/b/c"));
    EXPECT_TRUE(os::MakeSureDirectoryPathExists("C:\\a\\x\\file.txt"));
    EXPECT_TRUE(Exists(c + "/a/x"));
    EXPECT_FALSE(Exists(c + "/a/x/file.txt"));
    WriteFile(c + "/plain", "");
    EXPECT_FALSE(os::MakeSureDirectoryPathExists("C:\\plain\\sub\\"));

    os::CreateDirectoryA("C:\\a\\made");
    EXPECT_TRUE(Exists(c + "/a/made"));
    os::AppendLine("C:\\a\\made\\log.txt", "one");
    os::AppendLine("C:\\A\\MADE\\log.txt", "two");
    os::AppendLine("C:\\missing\\log.txt", "lost");
    os::AppendLine("", "lost");
    EXPECT_EQ(ReadFile(c + "/a/made/log.txt"), "one\r\ntwo\r\n");
    EXPECT_FALSE(Exists(c + "/missing"));

    EXPECT_TRUE(os::WriteWholeFile("C:\\a\\made\\log.txt", "whole"));
    EXPECT_EQ(ReadFile(c + "/a/made/log.txt"), "whole");
    EXPECT_FALSE(os::WriteWholeFile("C:\\a\\made", "x"));
    os::DeleteFileA("C:\\a\\made\\log.txt");
    os::DeleteFileA("C:\\a\\made");
    EXPECT_FALSE(Exists(c + "/a/made/log.txt"));
    EXPECT_TRUE(Exists(c + "/a/made"));
}

TEST_F(PosixPlatform, IniFilesAreReadFromTheHost) {
    const std::string c = AddDrive('c');
    WriteFile(c + "/tool/config.ini", "[DIR]\r\n d:\\a.exe = ~ A \r\n");
    char buffer[256];
    std::int32_t n = os::GetPrivateProfileSectionA("dir", buffer, sizeof buffer, "C:\\tool\\config.ini");
    EXPECT_EQ(Text(buffer, static_cast<std::size_t>(n)), Text("d:\\a.exe=~ A\0", 13));
    n = os::GetPrivateProfileStringA("dir", "D:\\A.EXE", nullptr, buffer, sizeof buffer, "C:\\tool\\config.ini");
    EXPECT_EQ(Text(buffer, static_cast<std::size_t>(n)), "~ A");
    // A folder where the file should be reads as no file.
    mkdir((c + "/tool/folder.ini").c_str(), 0777);
    EXPECT_EQ(os::GetPrivateProfileSectionA("dir", buffer, sizeof buffer, "C:\\tool\\folder.ini"), 0);
}

TEST_F(PosixPlatform, ProgramsAreStartedOnlyWhenTheHostHasThem) {
    const std::string c = AddDrive('c');
    EXPECT_FALSE(os::StartProcess("cmd.exe /c regedit /s \"C:\\tool\\logs\\debug.reg\"", true));
    EXPECT_FALSE(os::StartProcess("c:\\windows\\SysNative\\cmd.exe /c echo", true));
    EXPECT_FALSE(os::StartProcess("", true));

    // A stand-in interpreter on PATH shows the words the command line makes.
    const std::string bin = root + "/bin";
    WriteFile(bin + "/cmd.exe", "#!/bin/sh\nfor a in \"$@\"; do printf '%s|' \"$a\"; done > \"$OUT\"\n");
    chmod((bin + "/cmd.exe").c_str(), 0755);
    const std::string path = std::getenv("PATH");
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    setenv("OUT", (root + "/words").c_str(), 1);
    EXPECT_TRUE(os::StartProcess("cmd.exe /c regedit /s \"C:\\my tools & (x)\\logs\\debug.reg\"", true));
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(ReadFile(root + "/words"), "/c|regedit|/s|C:\\my tools & (x)\\logs\\debug.reg|");
}

}  // namespace
