#include "fixture.h"

namespace {

using RunLog = FakeMachine;

TEST_F(RunLog, FirstEntryCreatesTheFolderAndTheDayFile) {
    ASSERT_FALSE(fake::IsDirectory("C:\\Tool\\logs"));
    WriteLog("处理完成");
    EXPECT_TRUE(fake::IsDirectory("C:\\Tool\\logs"));
    EXPECT_EQ(DayLog(), "2024-03-05 09:07:02 [PID 812] : \xB4\xA6\xC0\xED\xCD\xEA\xB3\xC9\r\n");
}

TEST_F(RunLog, DisabledLogTouchesNothing) {
    LogEnabled = 0;
    const auto before = fake::ListPaths();
    WriteLog("x");
    WriteLog("x", std::nullopt, std::nullopt, Text("C:\\Tool\\Tool.exe.Error.log"));
    EXPECT_EQ(fake::ListPaths(), before);
}

TEST_F(RunLog, OtherSubfolderValuesLogBesideTheProgram) {
    for (std::int32_t value : {0, 2, -1}) {
        fake::Reset();
        os::StartPlatform();
        LogInSubfolder = value;
        WriteLog("m");
        EXPECT_FALSE(fake::IsDirectory("C:\\Tool\\logs")) << value;
        EXPECT_EQ(fake::FileBytes("C:\\Tool\\Tool_20240305.log").value_or(""), Entry("m")) << value;
    }
}

TEST_F(RunLog, StampAndDayFileComeFromOneReadingOfTheClock) {
    fake::SetClock({2025, 1, 1, 0, 0, 5});
    WriteLog("a");
    fake::SetClock({2024, 12, 31, 23, 59, 59});
    WriteLog("b");
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\logs\\Tool_20250101.log").value_or(""),
              "2025-01-01 00:00:05 [PID 812] : a\r\n");
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\logs\\Tool_20241231.log").value_or(""),
              "2024-12-31 23:59:59 [PID 812] : b\r\n");
}

struct NameCase {
    Text module, dayFile;
};

TEST_F(RunLog, DayFileIsNamedAfterTheExecutable) {
    const NameCase cases[] = {
        {"C:\\Tool\\Tool.exe", "C:\\Tool\\logs\\Tool_20240305.log"},
        {"C:\\Tool\\TOOL.EXE", "C:\\Tool\\logs\\TOOL_20240305.log"},
        {"C:\\Tool\\tool", "C:\\Tool\\logs\\tool_20240305.log"},
        {"C:\\Tool\\setup.exe.old.exe", "C:\\Tool\\logs\\setup.exe.old_20240305.log"},
        {"C:\\Tool\\修复.exe", "C:\\Tool\\logs\\修复_20240305.log"},
        // A folder whose name holds ".exe.log" keeps its name.
        {"C:\\a.exe.log\\Tool.exe", "C:\\a.exe.log\\logs\\Tool_20240305.log"},
        {"C:\\Tool.exe", "C:\\logs\\Tool_20240305.log"},
    };
    for (const NameCase& c : cases) {
        fake::Reset();
        fake::SetModulePath(c.module);
        os::StartPlatform();
        WriteLog("m");
        EXPECT_EQ(fake::FileBytes(c.dayFile).value_or("<none>"), Entry("m")) << c.module;
    }
}

struct PrefixCase {
    std::optional<Text> tag1, tag2;
    Text body;
};

TEST_F(RunLog, PrefixFromTheTwoTags) {
    const PrefixCase cases[] = {
        {std::nullopt, std::nullopt, "M"},
        {Text(""), Text(""), "M"},
        {Text("A"), std::nullopt, "[A] M"},
        {Text("A"), Text("B"), "[A / B] M"},
        {std::nullopt, Text("B"), "[ / B] M"},
        {Text(""), Text("B"), "[ / B] M"},
        {Text("A"), Text(""), "[A / ] M"},
    };
    for (const PrefixCase& c : cases) {
        fake::Reset();
        os::StartPlatform();
        WriteLog("M", c.tag1, c.tag2);
        EXPECT_EQ(DayLog(), Entry(c.body)) << c.body;
    }
}

TEST_F(RunLog, ProcessIdIsWrittenAsAnUnsignedNumber) {
    fake::SetProcessId(4294967295u);
    WriteLog("m");
    EXPECT_EQ(DayLog(), "2024-03-05 09:07:02 [PID 4294967295] : m\r\n");
}

TEST_F(RunLog, GivenArgumentsAreUsedUnchanged) {
    WriteLog("", std::nullopt, std::nullopt, std::nullopt, Text("STAMP"));
    WriteLog("e", std::nullopt, std::nullopt, std::nullopt, Text(""));
    WriteLog("");
    WriteLog("patch\r\n");
    EXPECT_EQ(DayLog(), "STAMP [PID 812] : \r\n [PID 812] : e\r\n" + Entry("") + Entry("patch\r\n"));
}

TEST_F(RunLog, GivenLogFileGetsTheEntryAndTheDayFileIsLeftAlone) {
    WriteLog("report", std::nullopt, std::nullopt, Text("C:\\Tool\\Tool.exe.Error.log"));
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\Tool.exe.Error.log").value_or(""), Entry("report"));
    EXPECT_TRUE(fake::IsDirectory("C:\\Tool\\logs"));
    EXPECT_FALSE(fake::FileBytes("C:\\Tool\\logs\\Tool_20240305.log"));

    const auto before = fake::ListPaths();
    WriteLog("lost", std::nullopt, std::nullopt, Text(""));
    EXPECT_EQ(fake::ListPaths(), before);
}

TEST_F(RunLog, SizeLimitDeletesOnlyAnOversizeFile) {
    const Text target = "C:\\Tool\\big.log";
    struct Case {
        std::int32_t limit;
        std::optional<std::size_t> size;  // absent: no file
        bool deleted;
    } cases[] = {
        {1, 1048576, false}, {1, 1048577, true}, {1, std::nullopt, false},
        {0, 5000000, false}, {-3, 5000000, false}, {2, 2097153, true},
    };
    for (const Case& c : cases) {
        fake::Reset();
        os::StartPlatform();
        if (c.size) fake::AddFile(target, Text(*c.size, 'x'));
        WriteLog("e", std::nullopt, std::nullopt, target, std::nullopt, c.limit);
        const Text expected = (c.deleted || !c.size ? Text() : Text(*c.size, 'x')) + Entry("e");
        EXPECT_EQ(fake::FileBytes(target).value_or(""), expected) << c.limit << " " << c.size.value_or(0);
    }
}

TEST_F(RunLog, FailuresCostOnlyTheirEntry) {
    fake::FailCall(fake::Op::AppendLine, 2);
    WriteLog("one");
    WriteLog("two");
    WriteLog("three");
    EXPECT_EQ(DayLog(), Entry("one") + Entry("three"));

    // A failed deletion leaves the entry in the oversize file.
    fake::AddFile("C:\\Tool\\big.log", Text(1048577, 'x'));
    fake::FailCall(fake::Op::DeleteFile, 1);
    WriteLog("e", std::nullopt, std::nullopt, Text("C:\\Tool\\big.log"), std::nullopt, 1);
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\big.log")->size(), 1048577 + Entry("e").size());
}

TEST_F(RunLog, PlainFileNamedLogsLosesTheDayEntries) {
    fake::AddFile("C:\\Tool\\logs", "not a folder");
    WriteLog("lost");
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\logs").value_or(""), "not a folder");
    EXPECT_FALSE(fake::IsDirectory("C:\\Tool\\logs"));
}

}  // namespace
