#include "common/text.h"

#include <cstring>

std::size_t CharLength(const Text& text, std::size_t pos) {
    if (static_cast<unsigned char>(text[pos]) >= 0x80 && pos + 1 < text.size()) return 2;
    return 1;
}

static bool MatchesAt(const Text& text, std::size_t pos, const Text& search) {
    return text.size() - pos >= search.size() &&
           std::memcmp(text.data() + pos, search.data(), search.size()) == 0;
}

std::int32_t FindText(const Text& text, const Text& search) {
    if (search.empty()) return -1;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        if (MatchesAt(text, pos, search)) return static_cast<std::int32_t>(pos + 1);
    }
    return -1;
}

Text ReplaceAll(const Text& text, const Text& search, const Text& replacement) {
    if (text.empty() || search.empty()) return text;
    Text result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (MatchesAt(text, pos, search)) {
            result += replacement;
            pos += search.size();
        } else {
            std::size_t len = CharLength(text, pos);
            result.append(text, pos, len);
            pos += len;
        }
    }
    return result;
}

Text NumberToText(std::int64_t number) { return std::to_string(number); }

Text TwoDigits(int number) {
    Text digits = NumberToText(number);
    return digits.size() == 1 ? "0" + digits : digits;
}

static char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithNoCase(const Text& text, const Text& suffix) {
    if (suffix.size() > text.size()) return false;
    std::size_t start = text.size() - suffix.size();
    std::size_t pos = 0;
    while (pos < start) pos += CharLength(text, pos);
    if (pos != start) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (AsciiLower(text[start + i]) != AsciiLower(suffix[i])) return false;
    }
    return true;
}
