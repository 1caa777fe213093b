#include <gtest/gtest.h>

#include "common/text.h"

namespace {

struct FindCase {
    const char* name;
    Text text, search;
    std::int32_t position;
};

TEST(FindText, FindsOnlyAtCharacterStarts) {
    const FindCase cases[] = {
        {"first occurrence", "a=b=c", "=", 2},
        {"case differs", "Tool.EXE", ".exe", -1},
        {"absent", "abc", "x", -1},
        {"empty text", "", "=", -1},
        {"empty search", "abc", "", -1},
        // 錦 is E5 5C: its second byte is no backslash.
        {"trail byte 0x5C", "\xE5\x5C" "a\\b", "\\", 4},
        {"trail byte equal to search", "\xB0\x3D=", "=", 3},
        {"lone lead byte at the end", "ab\x81", "\x81", 3},
        {"search longer than rest", "ab\x81", "\x81x", -1},
        {"search at the very end", "xy.exe", ".exe", 3},
    };
    for (const FindCase& c : cases) EXPECT_EQ(FindText(c.text, c.search), c.position) << c.name;
}

struct ReplaceCase {
    const char* name;
    Text text, search, replacement, expected;
};

TEST(ReplaceAll, ReplacesByCharactersWithoutRescanning) {
    const ReplaceCase cases[] = {
        {"every backslash doubled once", "C:\\a\\b", "\\", "\\\\", "C:\\\\a\\\\b"},
        {"trail byte 0x5C kept single", "C:\\\xE5\x5C\\x", "\\", "\\\\", "C:\\\\\xE5\x5C\\\\x"},
        {"\xDF\x5C too", "\xDF\x5C", "\\", "\\\\", "\xDF\x5C"},
        {"no overlap", "aaa", "aa", "b", "ba"},
        {"replacement holds search", "ab", "a", "aa", "aab"},
        {"empty search", "abc", "", "x", "abc"},
        {"empty text", "", "a", "x", ""},
        {"lone lead byte at the end", "a\\\x90", "\\", "/", "a/\x90"},
        {"removal", "a.exe.log", ".exe.log", "", "a"},
    };
    for (const ReplaceCase& c : cases) EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected) << c.name;
}

TEST(Numbers, DecimalAndTwoDigitFields) {
    EXPECT_EQ(NumberToText(0), "0");
    EXPECT_EQ(NumberToText(-17), "-17");
    EXPECT_EQ(NumberToText(4294967295LL), "4294967295");
    EXPECT_EQ(TwoDigits(5), "05");
    EXPECT_EQ(TwoDigits(0), "00");
    EXPECT_EQ(TwoDigits(12), "12");
}

TEST(EndsWithNoCase, ComparesAsciiCaseAndCharacterBoundaries) {
    EXPECT_TRUE(EndsWithNoCase("Tool.exe", ".exe"));
    EXPECT_TRUE(EndsWithNoCase("TOOL.EXE", ".exe"));
    EXPECT_FALSE(EndsWithNoCase("exe", ".exe"));
    // The "." here is the second byte of a two-byte character, not a dot.
    EXPECT_FALSE(EndsWithNoCase("\x81.exe", ".exe"));
    EXPECT_TRUE(EndsWithNoCase("\xB2\xE2.exe", ".exe"));
}

}  // namespace
