#include "fix/fix.h"
#include "fixture.h"

namespace {

using Fix = FakeMachine;

const Text kHeader =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers]\r\n";

Text Miss(const Text& path) { return "该文件找不到：" + path + " 不处理该路径。"; }
Text Hit(const Text& path) { return "找到游戏，开始处理：" + path; }

TEST_F(Fix, CandidateTakesTheDriveInPlaceOfTheFirstTwoBytes) {
    struct Case {
        Text gamePath, candidate;
    } cases[] = {
        {"d:\\Games\\x.exe", "C:\\Games\\x.exe"},
        {"Games\\x.exe", "C:mes\\x.exe"},
        {"", "C:"},
        {"d", "C:"},
        {"d:", "C:"},
        {"\xCD\xF8\\x.exe", "C:\\x.exe"},
    };
    for (const Case& c : cases) EXPECT_EQ(CandidatePathFor("C:", c.gamePath), c.candidate) << c.gamePath;
}

TEST_F(Fix, PatchTextForTheDocumentedExample) {
    const Text patch = BuildPatchText("C:\\Games\\Demo\\demo.exe", "~ RUNASADMIN");
    EXPECT_EQ(patch, kHeader + "\"C:\\\\Games\\\\Demo\\\\demo.exe\"=\"~ RUNASADMIN\"\r\n");
    EXPECT_EQ(patch.size(), 172u);
}

TEST_F(Fix, PatchTextEscapesWhatTheRegistryEditorWouldReadAsEscapes) {
    struct Case {
        const char* name;
        Text path, layers, valueLine;
    } cases[] = {
        {"empty layers", "C:\\a.exe", "", "\"C:\\\\a.exe\"=\"\""},
        {"backslash in layers", "C:\\a.exe", "~ A\\B", "\"C:\\\\a.exe\"=\"~ A\\\\B\""},
        {"quote in layers", "C:\\a.exe", "~ \"Q\"", "\"C:\\\\a.exe\"=\"~ \\\"Q\\\"\""},
        {"trail byte 0x5C in path", "C:\\\xE5\x5C\\a.exe", "~ X", "\"C:\\\\\xE5\x5C\\\\a.exe\"=\"~ X\""},
        {"placeholder text in path", "C:\\~ DISABLEDXMAXIMIZEDWINDOWEDMODE\\a.exe", "~ X",
         "\"C:\\\\~ DISABLEDXMAXIMIZEDWINDOWEDMODE\\\\a.exe\"=\"~ X\""},
        {"quote in path (never on Windows)", "C:\\a\"b.exe", "~ X", "\"C:\\\\a\\\"b.exe\"=\"~ X\""},
        {"sample path in layers", "C:\\a.exe", "d:\\\\网络游戏\\\\英雄联盟\\\\Game\\\\League of Legends.exe",
         "\"C:\\\\a.exe\"=\"d:\\\\\\\\网络游戏\\\\\\\\英雄联盟\\\\\\\\Game\\\\\\\\League of Legends.exe\""},
    };
    for (const Case& c : cases) EXPECT_EQ(BuildPatchText(c.path, c.layers), kHeader + c.valueLine + "\r\n") << c.name;
}

TEST_F(Fix, WritePatchFileLogsAndWritesTheWholePatch) {
    WritePatchFile("C:\\Games\\a.exe", "~ A");
    const Text first = BuildPatchText("C:\\Games\\a.exe", "~ A");
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\logs\\debug.reg").value_or(""), first);
    WritePatchFile("C:\\Games\\b.exe", "~ B");
    const Text second = BuildPatchText("C:\\Games\\b.exe", "~ B");
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\logs\\debug.reg").value_or(""), second);
    EXPECT_EQ(DayLog(), Entry(first) + Entry(second));
}

TEST_F(Fix, EnsureDirectoryCreatesEveryMissingParent) {
    EXPECT_TRUE(EnsureDirectory("C:\\a\\b\\c"));
    EXPECT_TRUE(fake::IsDirectory("C:\\a\\b\\c"));
    EXPECT_TRUE(EnsureDirectory("C:\\x\\y\\"));
    EXPECT_TRUE(fake::IsDirectory("C:\\x\\y"));
    fake::AddFile("C:\\file", "");
    EXPECT_FALSE(EnsureDirectory("C:\\file\\sub"));
}

TEST_F(Fix, RunShellCommandFallsBackToSysNativeOnce) {
    RunShellCommand("echo 1");
    fake::FailCall(fake::Op::StartProcess, 1);
    RunShellCommand("echo 2", true);
    fake::FailCall(fake::Op::StartProcess, 1);
    fake::FailCall(fake::Op::StartProcess, 2);
    RunShellCommand("echo 3");
    const auto& started = fake::Started();
    ASSERT_EQ(started.size(), 5u);
    EXPECT_EQ(started[0].commandLine, "cmd.exe /c echo 1");
    EXPECT_FALSE(started[0].wait);
    EXPECT_EQ(started[1].commandLine, "cmd.exe /c echo 2");
    EXPECT_EQ(started[2].commandLine, "c:\\windows\\SysNative\\cmd.exe /c echo 2");
    EXPECT_TRUE(started[1].wait);
    EXPECT_TRUE(started[2].wait);
    EXPECT_EQ(started[3].commandLine, "cmd.exe /c echo 3");
    EXPECT_EQ(started[4].commandLine, "c:\\windows\\SysNative\\cmd.exe /c echo 3");
}

class Scan : public FakeMachine {
protected:
    void SetUp() override {
        FakeMachine::SetUp();
        fake::SetDriveType('D', os::kDriveCdrom);
        fake::SetDriveType('E', os::kDriveFixed);
        fake::SetDriveType('F', os::kDriveRemote);
        fake::SetDriveType('G', os::kDriveRemovable);
        fake::SetDriveType('H', os::kDriveRamdisk);
    }
};

TEST_F(Scan, GameOnTwoFixedDrivesIsPatchedOnBoth) {
    fake::AddFile("C:\\Games\\Demo\\demo.exe", "MZ");
    fake::AddFile("E:\\Games\\Demo\\demo.exe", "MZ");
    fake::AddFile("D:\\Games\\Demo\\demo.exe", "MZ");
    ProcessPathEntry("d:\\Games\\Demo\\demo.exe", "~ RUNASADMIN");

    const Text patchC = BuildPatchText("C:\\Games\\Demo\\demo.exe", "~ RUNASADMIN");
    const Text patchE = BuildPatchText("E:\\Games\\Demo\\demo.exe", "~ RUNASADMIN");
    EXPECT_EQ(DayLog(), Entry(Hit("C:\\Games\\Demo\\demo.exe")) + Entry(patchC) + Entry("处理完成") +
                            Entry(Hit("E:\\Games\\Demo\\demo.exe")) + Entry(patchE) + Entry("处理完成"));
    const auto& started = fake::Started();
    ASSERT_EQ(started.size(), 2u);
    // The import is waited for, and each one reads the patch of its own hit.
    EXPECT_EQ(started[0].commandLine, "cmd.exe /c regedit /s \"C:\\Tool\\logs\\debug.reg\"");
    EXPECT_TRUE(started[0].wait);
    EXPECT_EQ(started[0].patchFileAtStart.value_or(""), patchC);
    EXPECT_EQ(started[1].patchFileAtStart.value_or(""), patchE);
    EXPECT_EQ(fake::Pauses(), (std::vector<std::uint32_t>{1000, 1000}));
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\logs\\debug.reg").value_or(""), patchE);
}

TEST_F(Scan, MissesAreLoggedPerFixedDriveInLetterOrder) {
    fake::AddFile("D:\\x.exe", "MZ");  // on the CD-ROM drive only: never tried
    ProcessPathEntry("c:\\x.exe", "~ A");
    EXPECT_EQ(DayLog(), Entry(Miss("C:\\x.exe")) + Entry(Miss("E:\\x.exe")));
    EXPECT_TRUE(fake::Started().empty());
    EXPECT_TRUE(fake::Pauses().empty());
    EXPECT_FALSE(fake::FileBytes("C:\\Tool\\logs\\debug.reg"));
}

TEST_F(Scan, DirectoriesAndWildcardsCountAsFound) {
    fake::AddDirectory("E:\\Games\\Folder");
    fake::AddFile("C:\\Games\\game1.exe", "MZ");
    ProcessPathEntry("x:\\Games\\Folder", "~ A");
    ProcessPathEntry("x:\\Games\\game?.exe", "~ B");
    EXPECT_EQ(DayLog(), Entry(Miss("C:\\Games\\Folder")) + Entry(Hit("E:\\Games\\Folder")) +
                            Entry(BuildPatchText("E:\\Games\\Folder", "~ A")) + Entry("处理完成") +
                            Entry(Hit("C:\\Games\\game?.exe")) + Entry(BuildPatchText("C:\\Games\\game?.exe", "~ B")) +
                            Entry("处理完成") + Entry(Miss("E:\\Games\\game?.exe")));
}

TEST_F(Scan, NoFixedDriveLogsNothing) {
    fake::SetDriveType('C', os::kDriveNoRootDir);
    fake::SetDriveType('E', os::kDriveNoRootDir);
    ProcessPathEntry("c:\\x.exe", "~ A");
    EXPECT_EQ(DayLog(), "");
}

TEST_F(Scan, FailedStepsStillCompleteTheHit) {
    fake::AddFile("C:\\x.exe", "MZ");
    fake::FailAlways(fake::Op::WriteWholeFile);
    fake::FailAlways(fake::Op::StartProcess);
    ProcessPathEntry("c:\\x.exe", "~ A");
    EXPECT_EQ(DayLog(), Entry(Hit("C:\\x.exe")) + Entry(BuildPatchText("C:\\x.exe", "~ A")) + Entry("处理完成") +
                            Entry(Miss("E:\\x.exe")));
    EXPECT_EQ(fake::Started().size(), 2u);  // plain name, then SysNative
    EXPECT_EQ(fake::Pauses().size(), 1u);
}

TEST_F(Scan, DriveTypeThatCannotBeToldIsLeftOut) {
    fake::AddFile("C:\\x.exe", "MZ");
    fake::FailCall(fake::Op::DriveType, 3);  // C:
    ProcessPathEntry("c:\\x.exe", "~ A");
    EXPECT_EQ(DayLog(), Entry(Miss("E:\\x.exe")));
}

}  // namespace
