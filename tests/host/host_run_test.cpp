// The host build of the program run as a process, on drives set up in a
// temporary folder.
#include <sys/wait.h>

#include <map>
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

}  // namespace
