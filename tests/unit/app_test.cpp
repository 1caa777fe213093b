#include <map>
#include <string>
#include <vector>

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

namespace {

// Every operating-system call of a whole run, failed one at a time: the run
// still ends by itself with exit code 0, and a failed log write costs exactly
// its own entry.
class FailEachCall : public FakeMachine {
protected:
    static void Prepare() {
        fake::SetDriveType('D', os::kDriveFixed);
        fake::AddFile("D:\\Games\\a.exe", "MZ");
        fake::AddFile("C:\\Tool\\config.ini", "[dir]\r\nc:\\Games\\a.exe=~ A\r\nc:\\Games\\b.exe=~ B\r\n");
    }

    static std::vector<Text> Entries(const Text& log) {
        std::vector<Text> entries;
        const Text stamp = "2024-03-05 09:07:02 [PID 812] : ";
        std::size_t at = 0;
        while ((at = log.find(stamp, at)) != Text::npos) {
            const std::size_t next = log.find(stamp, at + stamp.size());
            entries.push_back(log.substr(at, next == Text::npos ? Text::npos : next - at));
            at = at + stamp.size();
        }
        return entries;
    }
};

TEST_F(FailEachCall, NoSingleFailureStopsTheRun) {
    Prepare();
    ASSERT_EQ(RunProgram(), 0);
    const std::vector<Text> baseline = Entries(DayLog());
    ASSERT_EQ(baseline.size(), 8u);

    // A run has no size limit, so it neither measures nor deletes a file, and
    // its first entry has made the logs folder before any patch needs it.
    const fake::Op ops[] = {fake::Op::PathExists,     fake::Op::CreateDirectory, fake::Op::AppendLine,
                            fake::Op::WriteWholeFile, fake::Op::ProfileSection,  fake::Op::ProfileString,
                            fake::Op::DriveType,      fake::Op::StartProcess};
    std::map<fake::Op, int> callsInARun;
    for (fake::Op op : ops) {
        callsInARun[op] = fake::CallCount(op);
        EXPECT_GT(callsInARun[op], 0);
    }

    for (fake::Op op : ops) {
        for (int n = 1; n <= callsInARun[op]; ++n) {
            fake::Reset();
            Prepare();
            os::StartPlatform();
            ClearTable(PathTable);
            fake::FailCall(op, n);
            const std::string where = "op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(n);
            ASSERT_EQ(RunProgram(), 0) << where;
            const std::vector<Text> entries = Entries(DayLog());
            if (op == fake::Op::AppendLine || op == fake::Op::CreateDirectory) {
                // The log folder is made with the first entry: without it, that
                // entry is lost and the next one makes the folder.
                std::vector<Text> expected = baseline;
                expected.erase(expected.begin() + (op == fake::Op::AppendLine ? n - 1 : 0));
                EXPECT_EQ(entries, expected) << where;
                continue;
            }
            ASSERT_GE(entries.size(), 2u) << where;
            EXPECT_EQ(entries.front(), baseline.front()) << where;
            EXPECT_EQ(entries.back(), baseline.back()) << where;
            EXPECT_FALSE(fake::FileBytes("C:\\Tool\\Tool.exe.Error.log")) << where;
        }
    }
}

}  // namespace
