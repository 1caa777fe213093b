// Texts are byte strings in the ANSI code page (GBK). A byte of 0x80 or above
// starts a two-byte character; every search and replacement walks the text
// character by character so that a trail byte (which may be 0x5C, the
// backslash) is never matched on its own.
#pragma once

#include <cstdint>
#include <string>

using Text = std::string;

// The literals of this program must be stored as GBK, not as the UTF-8 of the
// sources: "未知" is two GBK characters, four bytes.
static_assert(sizeof("未知") == 5, "compile with -fexec-charset=GBK");

// Byte length of the character that starts at `pos`; a lead byte that is the
// last byte of the text counts as a character of one byte.
std::size_t CharLength(const Text& text, std::size_t pos);

// 1-based position of the first occurrence of `search` that starts on a
// character boundary, or -1. An empty search finds nothing.
std::int32_t FindText(const Text& text, const Text& search);

// Every non-overlapping occurrence replaced, scanning by characters; inserted
// text is not scanned again. An empty text or search gives the text unchanged.
Text ReplaceAll(const Text& text, const Text& search, const Text& replacement);

Text NumberToText(std::int64_t number);

// Decimal with a leading "0" below 10, as the date and time fields are written.
Text TwoDigits(int number);

// True when `text` ends with `suffix` compared without regard to ASCII case,
// and the suffix starts on a character boundary.
bool EndsWithNoCase(const Text& text, const Text& suffix);
