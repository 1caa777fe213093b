// The host build of the program run as a process, on drives set up in a
// temporary folder.
#include <sys/wait.h>

#include <map>
#include <random>
#include <regex>
#include <vector>

#include "host_machine.h"

namespace {

const std::string kStart = "程序开始分析……";
const std::string kDone = "程序运行完成，立即退出，以节省资源 。";

class HostRun : public HostMachine {
protected:
    void SetUp() override {
        HostMachine::SetUp();
        c = AddDrive('c');
        d = AddDrive('d');
        e = AddDrive('e', "cdrom");
        tool = c + "/tool";
        WriteFile(tool + "/layerfix", ReadFile(LAYERFIX_HOST_EXE));
        chmod((tool + "/layerfix").c_str(), 0755);
    }

    int Run() { return RunAll(1)[0]; }

    // Starts `count` instances at once and returns their exit codes.
    std::vector<int> RunAll(int count) {
        std::vector<FILE*> runs;
        for (int i = 0; i < count; ++i) runs.push_back(popen(("'" + tool + "/layerfix' 2>&1").c_str(), "r"));
        std::vector<int> codes;
        for (FILE* run : runs) {
            char sink[256];
            while (std::fgets(sink, sizeof sink, run)) {
            }
            int status = pclose(run);
            codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1000);
        }
        return codes;
    }

    // The messages of the one day log, after checking every entry's stamp.
    std::vector<std::string> Messages() {
        const std::string log = DayLogBytes();
        static const std::regex stamp(R"((\d{4}-\d\d-\d\d \d\d:\d\d:\d\d) \[PID (\d+)\] : )");
        std::vector<std::string> messages;
        auto begin = std::sregex_iterator(log.begin(), log.end(), stamp);
        std::vector<std::smatch> found(begin, std::sregex_iterator());
        EXPECT_FALSE(found.empty());
        if (!found.empty()) {
            EXPECT_EQ(found[0].position(0), 0);
        }
        for (std::size_t i = 0; i < found.size(); ++i) {
            std::size_t from = static_cast<std::size_t>(found[i].position(0) + found[i].length(0));
            std::size_t to = i + 1 < found.size() ? static_cast<std::size_t>(found[i + 1].position(0)) : log.size();
            std::string body = log.substr(from, to - from);
            EXPECT_GE(body.size(), 2u);
            EXPECT_EQ(body.substr(body.size() - 2), "\r\n");
            messages.push_back(found[i][2].str() + ":" + body.substr(0, body.size() - 2));
        }
        return messages;
    }

    std::string DayLogBytes() {
        std::string found;
        if (FILE* ls = popen(("ls '" + tool + "/logs' 2>/dev/null").c_str(), "r")) {
            char name[256];
            while (std::fgets(name, sizeof name, ls)) {
                std::string n = name;
                n.pop_back();
                if (std::regex_match(n, std::regex(R"(layerfix_\d{8}\.log)"))) found = n;
            }
            pclose(ls);
        }
        EXPECT_FALSE(found.empty()) << "no day log";
        return found.empty() ? std::string() : ReadFile(tool + "/logs/" + found);
    }

    // Messages without their process ids, for a run of one process.
    std::vector<std::string> Bodies() {
        std::vector<std::string> bodies;
        for (const std::string& m : Messages()) bodies.push_back(m.substr(m.find(':') + 1));
        return bodies;
    }

    std::string c, d, e, tool;
};

TEST_F(HostRun, WithoutConfigLogsStartAndEnd) {
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Bodies(), (std::vector<std::string>{kStart, kDone}));
}

TEST_F(HostRun, TheWholeJobRunsAndTheImportIsSilent) {
    WriteFile(d + u8"/网络游戏/英雄联盟/Game/League of Legends.exe", "MZ");
    WriteFile(e + "/cd.exe", "MZ");
    WriteFile(tool + "/config.ini",
              "[dir]\r\nd:\\网络游戏\\英雄联盟\\Game\\League of Legends.exe=~ DISABLEDXMAXIMIZEDWINDOWEDMODE\r\n"
              "e:\\cd.exe=~ WIN95\r\n");
    EXPECT_EQ(Run(), 0);
    const std::string patch =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers]\r\n"
        "\"D:\\\\网络游戏\\\\英雄联盟\\\\Game\\\\League of Legends.exe\"=\"~ DISABLEDXMAXIMIZEDWINDOWEDMODE\"\r\n";
    EXPECT_EQ(Bodies(), (std::vector<std::string>{
                            kStart,
                            "该文件找不到：C:\\网络游戏\\英雄联盟\\Game\\League of Legends.exe 不处理该路径。",
                            "找到游戏，开始处理：D:\\网络游戏\\英雄联盟\\Game\\League of Legends.exe",
                            patch,
                            "处理完成",
                            "该文件找不到：C:\\cd.exe 不处理该路径。",
                            "该文件找不到：D:\\cd.exe 不处理该路径。",
                            kDone,
                        }));
    EXPECT_EQ(ReadFile(tool + "/logs/debug.reg"), patch);
}

TEST_F(HostRun, TwoInstancesAtOnceLoseNoEntry) {
    std::string config = "[dir]\r\n";
    const int rows = 300;
    for (int i = 0; i < rows; ++i) config += "c:\\missing\\game" + std::to_string(i) + ".exe=~ A\r\n";
    WriteFile(tool + "/config.ini", config);
    EXPECT_EQ(RunAll(2), (std::vector<int>{0, 0}));

    // Each process's entries stand complete and in its own order.
    std::map<std::string, std::vector<std::string>> byProcess;
    for (const std::string& m : Messages()) byProcess[m.substr(0, m.find(':'))].push_back(m.substr(m.find(':') + 1));
    ASSERT_EQ(byProcess.size(), 2u);
    for (const auto& entry : byProcess) {
        const std::vector<std::string>& bodies = entry.second;
        ASSERT_EQ(bodies.size(), static_cast<std::size_t>(2 * rows + 2)) << entry.first;
        EXPECT_EQ(bodies.front(), kStart);
        EXPECT_EQ(bodies.back(), kDone);
        for (int i = 0; i < rows; ++i) {
            const std::string game = "\\missing\\game" + std::to_string(i) + ".exe";
            EXPECT_EQ(bodies[1 + 2 * i], "该文件找不到：C:" + game + " 不处理该路径。");
            EXPECT_EQ(bodies[2 + 2 * i], "该文件找不到：D:" + game + " 不处理该路径。");
        }
    }
}

// Hostile configurations and tool folders: each run ends by itself with exit
// code 0, and nothing outside the tool's logs folder changes.
class Hostile : public HostRun {
protected:
    // Runs the tool; checks the exit code, that only logs\ changed, and that
    // every logged line is one the tool writes. Returns the messages.
    std::vector<std::string> RunHostile(bool logged = true) {
        const auto before = Snapshot(root, tool + "/logs");
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(Snapshot(root, tool + "/logs"), before);
        if (!logged) return {};
        std::vector<std::string> bodies = Bodies();
        EXPECT_GE(bodies.size(), 2u);
        if (bodies.size() < 2) return bodies;
        EXPECT_EQ(bodies.front(), kStart);
        EXPECT_EQ(bodies.back(), kDone);
        for (std::size_t i = 1; i + 1 < bodies.size(); ++i) {
            const std::string& b = bodies[i];
            const bool known = b.rfind("该文件找不到：", 0) == 0 || b.rfind("找到游戏，开始处理：", 0) == 0 ||
                               b.rfind("Windows Registry Editor Version 5.00\r\n", 0) == 0 || b == "处理完成";
            EXPECT_TRUE(known) << b.substr(0, 200);
        }
        return bodies;
    }

    static std::size_t CountStarting(const std::vector<std::string>& bodies, const std::string& prefix) {
        std::size_t n = 0;
        for (const std::string& b : bodies) n += b.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }
};

TEST_F(Hostile, RandomBytes) {
    std::mt19937 random(7);
    std::string bytes;
    for (int i = 0; i < 65536; ++i) bytes += static_cast<char>(random());
    WriteFile(tool + "/config.ini", "[dir]\r\n" + bytes);
    RunHostile();
}

TEST_F(Hostile, Utf16WithByteOrderMarkReadsAsTheSameRows) {
    WriteFile(d + u8"/游戏/a.exe", "MZ");
    // "[dir]\r\nc:\游戏\a.exe=~ A\r\n" in UTF-16LE.
    const char utf16[] = "\xFF\xFE[\0d\0i\0r\0]\0\r\0\n\0c\0:\0\\\0\x38\x6E\x0F\x62\\\0a\0.\0e\0x\0e\0=\0~\0 \0A\0\r\0\n\0";
    WriteFile(tool + "/config.ini", std::string(utf16, sizeof utf16 - 1));
    const auto bodies = RunHostile();
    EXPECT_EQ(CountStarting(bodies, "找到游戏，开始处理：D:\\游戏\\a.exe"), 1u);
}

TEST_F(Hostile, FolderNamedConfigIni) {
    mkdir((tool + "/config.ini").c_str(), 0777);
    EXPECT_EQ(RunHostile(), (std::vector<std::string>{kStart, kDone}));
}

TEST_F(Hostile, LineOfOneMebibyteIsCutAndDropped) {
    WriteFile(tool + "/config.ini", "[dir]\r\nc:\\a.exe=~ A\r\nc:\\" + std::string(1 << 20, 'x') + "=~ B\r\n");
    EXPECT_EQ(RunHostile(), (std::vector<std::string>{kStart, "该文件找不到：C:\\a.exe 不处理该路径。",
                                                     "该文件找不到：D:\\a.exe 不处理该路径。", kDone}));
}

TEST_F(Hostile, ValueLongerThanItsBufferIsCut) {
    WriteFile(d + "/v.exe", "MZ");
    WriteFile(tool + "/config.ini", "[dir]\r\nc:\\v.exe=" + std::string(20000, 'y') + "\r\n");
    RunHostile();
    const std::string patch = ReadFile(tool + "/logs/debug.reg");
    EXPECT_NE(patch.find("=\"" + std::string(10239, 'y') + "\"\r\n"), std::string::npos);
}

TEST_F(Hostile, ZeroBytesAndLoneLeadBytes) {
    const char config[] = "[dir]\r\nc:\\n\0ul.exe=~ A\r\nc:\\lead\x81=~ B\x81\r\nc:\\after.exe=~ C\r\n";
    WriteFile(d + "/after.exe", "MZ");
    WriteFile(tool + "/config.ini", std::string(config, sizeof config - 1));
    const auto bodies = RunHostile();
    EXPECT_EQ(CountStarting(bodies, "找到游戏，开始处理：D:\\after.exe"), 1u);
}

TEST_F(Hostile, FiveThousandRows) {
    // More than the section buffer holds: the rows are those whose lines fit
    // whole, the cut line makes none.
    std::string config = "[dir]\r\n";
    std::size_t stored = 0, whole = 0;
    for (int i = 0; i < 5000; ++i) {
        const std::string line = "c:\\g\\" + std::to_string(i) + ".exe=~ A";
        config += line + "\r\n";
        stored += line.size() + 1;
        if (stored <= 32767 - 2) ++whole;
    }
    WriteFile(tool + "/config.ini", config);
    EXPECT_EQ(RunHostile().size(), 2 + 2 * whole);
}

TEST_F(Hostile, PlainFileNamedLogsLosesTheEntriesOnly) {
    WriteFile(tool + "/logs", "a file");
    WriteFile(d + "/x.exe", "MZ");
    WriteFile(tool + "/config.ini", "[dir]\r\nc:\\x.exe=~ A\r\n");
    const auto before = Snapshot(root, "");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Snapshot(root, ""), before);
}

TEST_F(Hostile, FolderNamedDebugRegTakesNoPatch) {
    mkdir((tool + "/logs").c_str(), 0777);
    mkdir((tool + "/logs/debug.reg").c_str(), 0777);
    WriteFile(d + "/x.exe", "MZ");
    WriteFile(tool + "/config.ini", "[dir]\r\nc:\\x.exe=~ A\r\n");
    const auto bodies = RunHostile();
    EXPECT_EQ(CountStarting(bodies, "找到游戏，开始处理：D:\\x.exe"), 1u);
    EXPECT_EQ(CountStarting(bodies, "处理完成"), 1u);
}

TEST_F(Hostile, ReadOnlyToolFolder) {
    WriteFile(tool + "/config.ini", "[dir]\r\nc:\\x.exe=~ A\r\n");
    // Immutable even for root, who would pass a mode of 0555.
    ASSERT_EQ(std::system(("chattr +i '" + tool + "'").c_str()), 0);
    const auto before = Snapshot(root, "");
    const int code = Run();
    std::system(("chattr -i '" + tool + "'").c_str());
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Snapshot(root, ""), before);
}

}  // namespace
