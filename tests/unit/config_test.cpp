#include <cstdio>
#include <cstring>
#include <vector>

#include "fixture.h"

namespace {

using Config = FakeMachine;

struct Row {
    Text gamePath, layers;
    bool operator==(const Row& o) const { return gamePath == o.gamePath && layers == o.layers; }
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << row.gamePath << " | " << row.layers << "}";
}

std::vector<Row> Rows(TextTable& table) {
    std::vector<Row> rows;
    for (std::int32_t row = 1; row <= TableRows(table); ++row) {
        rows.push_back({TableCell(table, {row, kGamePathColumn}, {0, 0}), TableCell(table, {row, kLayersColumn}, {0, 0})});
    }
    return rows;
}

std::vector<Row> ReadDir(const Text& configBytes) {
    fake::AddFile("C:\\Tool\\config.ini", configBytes);
    TextTable table;
    std::int32_t cells = ReadSectionTable("C:\\Tool\\config.ini", "dir", table);
    EXPECT_EQ(cells, 2 * TableRows(table));
    return Rows(table);
}

TEST_F(Config, ConfigFilePathWithAndWithoutName) {
    EXPECT_EQ(ConfigFilePath("config.ini"), "C:\\Tool\\config.ini");
    EXPECT_EQ(ConfigFilePath(), "C:\\Tool\\config.ini");
    EXPECT_EQ(ConfigFilePath(""), "C:\\Tool\\");
}

TEST_F(Config, TheExampleLineMakesOneRow) {
    auto rows = ReadDir("[dir]\r\nd:\\网络游戏\\英雄联盟\\Game\\League of Legends.exe=~ DISABLEDXMAXIMIZEDWINDOWEDMODE\r\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (Row{"d:\\网络游戏\\英雄联盟\\Game\\League of Legends.exe", "~ DISABLEDXMAXIMIZEDWINDOWEDMODE"}));
}

TEST_F(Config, LinesBecomeRowsInFileOrder) {
    auto rows = ReadDir(
        "[other]\r\nx=1\r\n"
        "[dir]\r\n"
        "c:\\b.exe=~ B\r\n"
        "c:\\a.exe=~ A\r\n"
        "k=v=w\r\n"
        "no equals sign\r\n"
        "=starts with equals\r\n"
        "c:\\b.exe=~ second\r\n"
        "[more]\r\ny=2\r\n");
    EXPECT_EQ(rows, (std::vector<Row>{
                        {"c:\\b.exe", "~ B"},
                        {"c:\\a.exe", "~ A"},
                        {"k", "v=w"},
                        {"no equals sign", ""},
                        {"", ""},
                        // The lookup finds the first entry of a key for every row of it.
                        {"c:\\b.exe", "~ B"},
                    }));
}

TEST_F(Config, MissingFileOrSectionGivesTheEmptyTable) {
    TextTable table;
    ResizeTable(table, {2, 2}, {0, 0});
    EXPECT_EQ(ReadSectionTable("C:\\Tool\\config.ini", "dir", table), 0);
    EXPECT_EQ(TableRows(table), 0);
    EXPECT_TRUE(ReadDir("[other]\r\na=b\r\n").empty());
    EXPECT_TRUE(ReadDir("[dir]\r\n\r\n; only a comment\r\n").empty());
}

TEST_F(Config, LookupSkipsLeadingControlBytes) {
    fake::AddFile("C:\\Tool\\config.ini", "[dir]\r\nkey=value\r\n");
    EXPECT_EQ(ReadIniValue("  C:\\Tool\\config.ini", "\t dir", " \x01key", ""), "value");
    EXPECT_EQ(ReadIniValue("C:\\Tool\\config.ini", "dir", "missing", "fallback"), "fallback");
    // A byte of 0x80 or more ends the skipping: it is part of the key.
    EXPECT_EQ(ReadIniValue("C:\\Tool\\config.ini", "dir", "\xA1\xA1key", ""), "");
}

TEST_F(Config, EmptyArgumentsMakeNoLookup) {
    fake::AddFile("C:\\Tool\\config.ini", "[dir]\r\nkey=value\r\n");
    const int before = fake::CallCount(fake::Op::ProfileString);
    EXPECT_EQ(ReadIniValue("C:\\Tool\\config.ini", "dir", " \t", "default"), "");
    EXPECT_EQ(ReadIniValue("", "dir", "key", "default"), "");
    EXPECT_EQ(ReadIniValue("C:\\Tool\\config.ini", "", "key", "default"), "");
    EXPECT_EQ(fake::CallCount(fake::Op::ProfileString), before);
}

TEST_F(Config, ValueIsCutToTheValueBuffer) {
    const Text longValue(12000, 'v');
    auto rows = ReadDir("[dir]\r\nc:\\a.exe=" + longValue + "\r\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].layers, Text(10239, 'v'));
}

TEST_F(Config, SectionTooLongForItsBufferDropsTheCutLine) {
    // 1000 lines of 41 bytes each, more than the 32767-byte buffer.
    Text config = "[dir]\r\n";
    std::vector<Text> keys;
    for (int i = 0; i < 1000; ++i) {
        char key[40];
        std::snprintf(key, sizeof key, "c:\\games\\game%04d\\start.exe", i);
        keys.push_back(key);
        config += Text(key) + "=~ RUNASADMIN\r\n";
    }
    auto rows = ReadDir(config);
    // Each stored line is "key=~ RUNASADMIN" and a zero byte.
    const std::size_t lineBytes = keys[0].size() + std::strlen("=~ RUNASADMIN") + 1;
    const std::size_t whole = (32767 - 2) / lineBytes;
    ASSERT_NE((32767 - 2) % lineBytes, 0u) << "the cut must fall inside a line";
    ASSERT_EQ(rows.size(), whole);
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].gamePath, keys[i]);
}

TEST_F(Config, UnreadableSectionGivesTheEmptyTable) {
    fake::AddFile("C:\\Tool\\config.ini", "[dir]\r\nc:\\a.exe=~ A\r\n");
    fake::FailCall(fake::Op::ProfileSection, 1);
    TextTable table;
    EXPECT_EQ(ReadSectionTable("C:\\Tool\\config.ini", "dir", table), 0);
}

}  // namespace
