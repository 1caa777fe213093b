#include <gtest/gtest.h>

#include <vector>

#include "platform/ini_reader.h"

namespace {

std::vector<Text> Section(const std::optional<Text>& file, const Text& name, std::int32_t size = 32767) {
    std::vector<char> buffer(static_cast<std::size_t>(size) + 8, '\x7F');
    std::int32_t count = ini::ReadSection(file, name, buffer.data(), size);
    EXPECT_EQ(buffer[static_cast<std::size_t>(count)], '\0');
    std::vector<Text> lines;
    Text current;
    for (std::int32_t i = 0; i < count; ++i) {
        if (buffer[static_cast<std::size_t>(i)] == '\0') {
            lines.push_back(current);
            current.clear();
        } else {
            current += buffer[static_cast<std::size_t>(i)];
        }
    }
    if (!current.empty()) lines.push_back(current + "<cut>");
    return lines;
}

Text Value(const std::optional<Text>& file, const Text& section, const Text& key, const char* def = nullptr) {
    char buffer[64];
    std::int32_t count = ini::ReadString(file, section, key, def, buffer, sizeof buffer);
    return Text(buffer, static_cast<std::size_t>(count));
}

const char kFileBytes[] =
    "top=ignored\n"
    "[Dir]\r"
    "  spaced key \t=\t spaced value  \r\n"
    "; a comment\n"
    "   ;indented comment\n"
    "\n"
    "quoted=\"with quotes\"\n"
    "single='single'\n"
    "mismatched=\"a'\n"
    "KEY=first\n"
    "key=second\n"
    "bare line\n"
    "nul=before\0after\n"
    "[ dir ]\n"
    "other=second section of the name\n"
    "[\xB5\x5D]\n"
    "gbk=yes\n";
const Text kFile(kFileBytes, sizeof kFileBytes - 1);

TEST(IniReader, SectionFollowsThePrivateProfileRules) {
    const Text& file = kFile;
    EXPECT_EQ(Section(file, "dir"), (std::vector<Text>{"spaced key=spaced value", "quoted=\"with quotes\"",
                                                        "single='single'", "mismatched=\"a'", "KEY=first", "key=second",
                                                        "bare line", "nul=before"}));
    EXPECT_TRUE(Section(file, "missing").empty());
    EXPECT_TRUE(Section(std::nullopt, "dir").empty());
    // A trail byte of 0x5D does not close the section name.
    EXPECT_EQ(Section(file, "\xB5\x5D"), (std::vector<Text>{"gbk=yes"}));
}

TEST(IniReader, ValueLookup) {
    const Text nul("[dir]\nnul=before\0after\n", 23);
    const Text& file = kFile;
    struct Case {
        Text key, value;
    } cases[] = {
        {"spaced key", "spaced value"}, {"SPACED KEY", "spaced value"}, {"quoted", "with quotes"},
        {"single", "single"},           {"mismatched", "\"a'"},         {"key", "first"},
        {"bare line", "def"},           {"missing", "def"},             {"other", "def"},
    };
    for (const Case& c : cases) EXPECT_EQ(Value(file, "DIR", c.key, "def"), c.value) << c.key;
    EXPECT_EQ(Value(nul, "dir", "nul"), "before");
    EXPECT_EQ(Value(std::nullopt, "dir", "key", "def"), "def");
    EXPECT_EQ(Value(std::nullopt, "dir", "key"), "");
    // Too long for the buffer: cut to its size less the zero byte.
    EXPECT_EQ(Value("[d]\nk=" + Text(100, 'v') + "\n", "d", "k"), Text(63, 'v'));
}

TEST(IniReader, BlanksAndEqualsSignsAreWholeCharacters) {
    // \xDA\x20 and \xB0\x3D are two-byte characters: their second bytes are
    // no blank and no "=".
    const Text file = "[dir]\nd:\\a\xDA =x\nb\xB0==y \xC1\t\n";
    EXPECT_EQ(Section(file, "dir"), (std::vector<Text>{"d:\\a\xDA =x", "b\xB0==y \xC1\t"}));
    EXPECT_EQ(Value(file, "dir", "d:\\a\xDA "), "x");
    EXPECT_EQ(Value(file, "dir", "b\xB0="), "y \xC1\t");
}

TEST(IniReader, SectionThatDoesNotFitIsCut) {
    const Text file = "[d]\naaaa=1\nbbbb=2\n";
    // "aaaa=1\0bbbb=2\0" is 14 bytes and the final zero makes 15.
    EXPECT_EQ(Section(file, "d", 15), (std::vector<Text>{"aaaa=1", "bbbb=2"}));
    char buffer[12];
    EXPECT_EQ(ini::ReadSection(file, "d", buffer, 12), 10);
    EXPECT_EQ(Text(buffer, 12), Text("aaaa=1\0bbb\0\0", 12));
}

TEST(IniReader, ByteOrderMarksSelectTheEncoding) {
    // "[dir]\r\na=网\r\n" in UTF-16LE and in UTF-8, both read as GBK.
    const char utf16Bytes[] = "\xFF\xFE[\0d\0i\0r\0]\0\r\0\n\0a\0=\0\x51\x7F\r\0\n\0";
    const Text utf16(utf16Bytes, sizeof utf16Bytes - 1);
    const Text utf8 = "\xEF\xBB\xBF[dir]\r\na=\xE7\xBD\x91\r\n";
    EXPECT_EQ(Value(utf16, "dir", "a"), "\xCD\xF8");
    EXPECT_EQ(Value(utf8, "dir", "a"), "\xCD\xF8");
}

}  // namespace
