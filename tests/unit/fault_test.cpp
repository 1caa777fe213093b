#include "fault/system_id.h"
#include "fixture.h"

namespace {

using Faults = FakeMachine;

int ExitRoutineRuns = 0;
void CountExitRoutine() { ++ExitRoutineRuns; }

const Text kReportTail = "Path:  C:\\Tool\\Tool.exe\r\nOS: Win7 , 9 , X64\r\n\r\n";

TEST_F(Faults, HandledFaultIsLoggedShownAndEndsWithMinusOne) {
    InstallFaultHandler();
    ExitRoutineRuns = 0;
    os::RegisterExitRoutine(CountExitRoutine);
    EXPECT_EQ(ExitCodeOf([] { RaiseFault(4, "数组下标必须大于或等于1", 21, 3); }), -1);
    EXPECT_EQ(ExitRoutineRuns, 0);

    const Text report = "ErrorCode:  4\r\nErrorNote:  数组下标必须大于或等于1\r\n21, 3\r\n\r\n" + kReportTail;
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\Tool.exe.Error.log").value_or(""), Entry(report));
    ASSERT_EQ(fake::Boxes().size(), 1u);
    EXPECT_EQ(fake::Boxes()[0].text,
              report + "错误日志已经保存在：[ C:\\Tool\\Tool.exe.Error.log ]请发给开发者排查问题。");
    EXPECT_EQ(fake::Boxes()[0].caption, "程序出现了故障，请联系技术支持");
    EXPECT_EQ(fake::Boxes()[0].style, 0x2010u);
    // The day log is not where a fault goes.
    EXPECT_EQ(DayLog(), "");
}

TEST_F(Faults, SecondFaultAppendsASecondEntry) {
    InstallFaultHandler();
    ExitCodeOf([] { RaiseFault(0, "", 0, 0); });
    fake::SetClock({2024, 3, 6, 10, 0, 0});
    ExitCodeOf([] { RaiseFault(1, "m", 5, 6); });
    const Text log = fake::FileBytes("C:\\Tool\\Tool.exe.Error.log").value_or("");
    EXPECT_EQ(log, Entry("ErrorCode:  0\r\nErrorNote:  \r\n0, 0\r\n\r\n" + kReportTail) +
                       "2024-03-06 10:00:00 [PID 812] : ErrorCode:  1\r\nErrorNote:  m\r\n5, 6\r\n\r\n" + kReportTail +
                       "\r\n");
}

std::int32_t DecliningHandler(std::int32_t, const Text*) { return 0; }

std::int32_t NestingHandler(std::int32_t, const Text*) {
    RaiseFault(0, "inner", 7, 8);
}

TEST_F(Faults, ChannelShowsItsOwnBoxWhenNoHandlerReports) {
    struct Case {
        const char* name;
        FaultHandler handler;
    } cases[] = {{"no handler", nullptr}, {"handler declines", DecliningHandler}};
    for (const Case& c : cases) {
        fake::Reset();
        os::StartPlatform();
        SetFaultHandler(c.handler);
        EXPECT_EQ(ExitCodeOf([] { RaiseFault(3, "outer", 1, 2); }), -1) << c.name;
        ASSERT_EQ(fake::Boxes().size(), 1u) << c.name;
        EXPECT_NE(fake::Boxes()[0].text.find("outer\r\n1, 2"), Text::npos) << c.name;
        EXPECT_NE(fake::Boxes()[0].text.find("3"), Text::npos) << c.name;
        EXPECT_FALSE(fake::FileBytes("C:\\Tool\\Tool.exe.Error.log")) << c.name;
    }
}

TEST_F(Faults, FaultInsideTheHandlerIsNotHandledAgain) {
    SetFaultHandler(NestingHandler);
    EXPECT_EQ(ExitCodeOf([] { RaiseFault(1, "outer", 1, 2); }), -1);
    ASSERT_EQ(fake::Boxes().size(), 1u);
    EXPECT_NE(fake::Boxes()[0].text.find("inner\r\n7, 8"), Text::npos);
    // The channel is usable again for the next (simulated) process.
    InstallFaultHandler();
    ExitCodeOf([] { RaiseFault(1, "later", 0, 0); });
    EXPECT_EQ(fake::Boxes().size(), 2u);
    EXPECT_EQ(fake::Boxes()[1].caption, "程序出现了故障，请联系技术支持");
}

TEST_F(Faults, FailedAllocationIsAMemoryFault) {
    InstallFaultHandler();
    const std::size_t huge = static_cast<std::size_t>(-1) / 2;
    EXPECT_EQ(ExitCodeOf([huge] { (void)::operator new(huge); }), -1);
    const Text expected = "ErrorCode:  0\r\nErrorNote:  内存不足，申请 " + std::to_string(huge) +
                          " 字节失败\r\n0, 0\r\n\r\n" + kReportTail;
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\Tool.exe.Error.log").value_or(""), Entry(expected));
}

TEST_F(Faults, FaultHandlerEntryTakesAnAbsentTextAsEmpty) {
    EXPECT_EQ(FaultHandlerEntry(6, nullptr), 1);
    EXPECT_EQ(fake::FileBytes("C:\\Tool\\Tool.exe.Error.log").value_or(""),
              Entry("ErrorCode:  6\r\nErrorNote:  \r\n" + kReportTail));
}

TEST_F(Faults, ReportAtADriveRoot) {
    fake::SetModulePath("C:\\Tool.exe");
    os::StartPlatform();
    EXPECT_EQ(ReportFault(0, "x\r\n0, 0\r\n"), 1);
    const Text log = fake::FileBytes("C:\\Tool.exe.Error.log").value_or("");
    EXPECT_NE(log.find("Path:  C:\\Tool.exe\r\n"), Text::npos);
    EXPECT_NE(fake::Boxes()[0].text.find("[ C:\\Tool.exe.Error.log ]"), Text::npos);
}

TEST_F(Faults, TableChecksRaiseTheirCodes) {
    InstallFaultHandler();
    TextTable table;
    ResizeTable(table, {2, 2}, {0, 0});
    TableCell(table, {2, 1}, {0, 0}) = "kept";
    ResizeTable(table, {3, 2}, {0, 0});
    EXPECT_EQ(TableCell(table, {2, 1}, {0, 0}), "kept");

    struct Case {
        const char* name;
        void (*access)(TextTable&);
        Text firstLines;
    } cases[] = {
        {"beyond the rows", [](TextTable& t) { TableCell(t, {4, 1}, {21, 2}); },
         "ErrorCode:  1\r\nErrorNote:  数组下标超出了定义的范围\r\n21, 2\r\n"},
        {"beyond the columns", [](TextTable& t) { TableCell(t, {1, 3}, {11, 1}); },
         "ErrorCode:  1\r\nErrorNote:  数组下标超出了定义的范围\r\n11, 1\r\n"},
        {"index count", [](TextTable& t) { TableCell(t, {1}, {11, 2}); },
         "ErrorCode:  3\r\nErrorNote:  下标数目与数组的维数不符\r\n11, 2\r\n"},
        {"zero index", [](TextTable& t) { TableCell(t, {0, 1}, {11, 1}); },
         "ErrorCode:  4\r\nErrorNote:  数组下标必须大于或等于1\r\n11, 1\r\n"},
        {"zero rows", [](TextTable& t) { ResizeTable(t, {0, 2}, {21, 1}); },
         "ErrorCode:  10\r\nErrorNote:  数组的维数尺寸必须大于0\r\n21, 1\r\n"},
        {"negative size, one dimension", [](TextTable& t) { ResizeTable(t, {-1}, {21, 1}); },
         "ErrorCode:  10\r\nErrorNote:  数组的维数尺寸必须大于或等于0\r\n21, 1\r\n"},
    };
    for (const Case& c : cases) {
        fake::Reset();
        os::StartPlatform();
        EXPECT_EQ(ExitCodeOf([&] { c.access(table); }), -1) << c.name;
        const Text log = fake::FileBytes("C:\\Tool\\Tool.exe.Error.log").value_or("");
        const Text stamp = "2024-03-05 09:07:02 [PID 812] : ";
        EXPECT_EQ(log.substr(0, stamp.size() + c.firstLines.size()), stamp + c.firstLines) << c.name;
    }
    TextTable list;
    ResizeTable(list, {0}, {0, 0});
    EXPECT_EQ(TableRows(list), 0);
}

struct VersionCase {
    os::VersionFields fields;
    std::int32_t code;
    const char* name;
};

TEST_F(Faults, VersionLadderCoversEveryRowOfTheTable) {
    const std::uint32_t m = 0x00530000;
    const VersionCase cases[] = {
        {{true, m, 0, 0, 0, 0}, 1, "Win95"},
        {{true, m, m, 0, 0, 0}, 1, "Win95"},
        {{true, 0, m, 0, 0, 0}, 2, "Win98"},
        {{true, 0, 0, m, 0, 0}, 3, "WinME"},
        {{true, 0, 0, 0, 6, 1}, 0, "未知"},
        {{false, 0, 0, 0, 3, 51}, 4, "WinNT"},
        {{false, 0, 0, 0, 4, 0}, 4, "WinNT"},
        {{false, 0, 0, 0, 5, 0}, 5, "Win2000"},
        {{false, 0, 0, 0, 5, 1}, 6, "WinXP"},
        {{false, 0, 0, 0, 5, 2}, 7, "Win2003"},
        {{false, 0, 0, 0, 5, 3}, 0, "未知"},
        {{false, 0, 0, 0, 6, 0}, 8, "Vista"},
        {{false, 0, 0, 0, 6, 1}, 9, "Win7"},
        {{false, m, m, m, 6, 2}, 0, "未知"},
        {{false, 0, 0, 0, 6, 3}, 0, "未知"},
        {{false, 0, 0, 0, 10, 0}, 0, "未知"},
        {{false, 0, 0, 0, 0xFFFFFFFF, 0}, 0, "未知"},
    };
    for (const VersionCase& c : cases) {
        fake::SetVersionFields(c.fields);
        EXPECT_EQ(OsVersionCode(), c.code) << c.name << " " << c.fields.majorVersion << "." << c.fields.minorVersion;
        EXPECT_EQ(OsName(), c.name);
    }
}

TEST_F(Faults, Wow64QueryFollowsEveryFailurePath) {
    struct Case {
        const char* name;
        std::optional<Text> systemDirectory;
        std::vector<Text> loadable;
        bool exported, callSucceeds;
        std::int32_t flag;
        bool result;
        std::vector<Text> loadsTried;
        int freed;
    } cases[] = {
        {"64-bit Windows", Text("C:\\windows\\system32"), {"C:\\windows\\system32\\kernel32.dll"}, true, true, 1, true,
         {"C:\\windows\\system32\\kernel32.dll"}, 0},
        {"32-bit Windows", Text("C:\\windows\\system32"), {"C:\\windows\\system32\\kernel32.dll"}, true, true, 0, false,
         {"C:\\windows\\system32\\kernel32.dll"}, 0},
        {"call fails", Text("C:\\windows\\system32"), {"C:\\windows\\system32\\kernel32.dll"}, true, false, 1, false,
         {"C:\\windows\\system32\\kernel32.dll"}, 1},
        {"no export", Text("C:\\w"), {"C:\\w\\kernel32.dll"}, false, true, 1, false, {"C:\\w\\kernel32.dll"}, 0},
        {"no system directory", std::nullopt, {"kernel32.dll"}, true, true, 1, true, {"kernel32.dll"}, 0},
        {"full path fails", Text("C:\\w"), {"kernel32.dll"}, true, true, 1, true, {"C:\\w\\kernel32.dll", "kernel32.dll"}, 0},
        {"directory too long for the buffer", Text(300, 'd'), {"kernel32.dll"}, true, true, 1, true,
         {Text(256, ' ') + "\\kernel32.dll", "kernel32.dll"}, 0},
        {"nothing loads", std::nullopt, {}, true, true, 1, false, {"kernel32.dll"}, 0},
    };
    for (const Case& c : cases) {
        fake::Reset();
        fake::SetSystemDirectory(c.systemDirectory);
        fake::SetLoadableModules(c.loadable);
        fake::SetWow64(c.exported, c.callSucceeds, c.flag);
        EXPECT_EQ(IsWow64(), c.result) << c.name;
        EXPECT_EQ(fake::LoadedModules(), c.loadsTried) << c.name;
        EXPECT_EQ(fake::FreedModules(), c.freed) << c.name;
    }
}

}  // namespace
