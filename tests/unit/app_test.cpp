#include "fix/fix.h"
#include "fixture.h"

namespace {

using Program = FakeMachine;

const Text kStart = "程序开始分析……";
const Text kDone = "程序运行完成，立即退出，以节省资源 。";

TEST_F(Program, WithoutConfigLogsStartAndEndAndExitsZero) {
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(DayLog(), Entry(kStart) + Entry(kDone));
    EXPECT_EQ(fake::CurrentDirectory(), "C:\\Tool");
    EXPECT_EQ(fake::WindowsCreated(), 1);
    EXPECT_EQ(fake::LastWindowParent(), 0u);
    // The exit routine released the globals.
    EXPECT_TRUE(ConfigFile.empty());
    EXPECT_EQ(TableRows(PathTable), 0);
}

TEST_F(Program, EveryRowIsProcessedInOrderBeforeTheEnd) {
    WriteConfig("[dir]\r\nd:\\one.exe=~ 1\r\nd:\\two.exe=~ 2\r\nd:\\three.exe=~ 3\r\n");
    fake::AddFile("C:\\two.exe", "MZ");
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(DayLog(), Entry(kStart) + Entry("该文件找不到：C:\\one.exe 不处理该路径。") +
                            Entry("找到游戏，开始处理：C:\\two.exe") + Entry(BuildPatchText("C:\\two.exe", "~ 2")) +
                            Entry("处理完成") + Entry("该文件找不到：C:\\three.exe 不处理该路径。") + Entry(kDone));
}

TEST_F(Program, ConfigWithoutSectionDirProcessesNoRow) {
    WriteConfig("[other]\r\nd:\\one.exe=~ 1\r\n");
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(DayLog(), Entry(kStart) + Entry(kDone));
}

TEST_F(Program, FaultDuringARowEndsTheRunWithoutTheCompletionLine) {
    WriteConfig("[dir]\r\nd:\\one.exe=~ 1\r\nd:\\two.exe=~ 2\r\n");
    fake::AddFile("C:\\one.exe", "MZ");
    // Nothing in a row faults by itself; a table check failing at the second
    // row stands in for any run-time fault.
    fake::FailAlways(fake::Op::ProfileString);
    EXPECT_EQ(ExitCodeOf([] {
                  StartProgram();
                  os::CreateMainWindow([] {
                      WriteLog(kStart);
                      ReadSectionTable(ConfigFilePath(), "dir", PathTable);
                      ProcessPathEntry(TableCell(PathTable, {1, 1}, {11, 1}), "");
                      TableCell(PathTable, {3, 1}, {11, 1});
                      WriteLog(kDone);
                  });
              }),
              -1);
    const Text log = DayLog();
    EXPECT_EQ(log.find(kDone), Text::npos);
    EXPECT_NE(log.find("处理完成"), Text::npos);
    // ReleaseGlobals did not run: the table still holds its rows.
    EXPECT_EQ(TableRows(PathTable), 2);
    EXPECT_TRUE(fake::FileBytes("C:\\Tool\\Tool.exe.Error.log"));
}

TEST_F(Program, WindowThatCannotBeCreatedIsAFault) {
    fake::FailCall(fake::Op::CreateWindow, 1);
    EXPECT_EQ(RunProgram(), -1);
    EXPECT_EQ(DayLog(), "");
    const Text log = fake::FileBytes("C:\\Tool\\Tool.exe.Error.log").value_or("");
    EXPECT_NE(log.find("ErrorCode:  0\r\nErrorNote:  载入主窗口失败\r\n1, 0\r\n"), Text::npos);
}

TEST_F(Program, ExitRoutineIsRegisteredOnce) {
    StartProgram();
    StartProgram();
    ConfigFile = "x";
    EXPECT_EQ(ExitCodeOf([] { os::EndProcess(0); }), 0);
    EXPECT_TRUE(ConfigFile.empty());
}

}  // namespace
