// FindText and ReplaceAll on arbitrary bytes, against a plain model that lists
// the character starts first. Input: text, search and replacement, separated
// by the byte 0x01.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/text.h"

namespace {

std::vector<std::size_t> CharacterStarts(const Text& text) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < text.size();) {
        starts.push_back(pos);
        const unsigned char byte = static_cast<unsigned char>(text[pos]);
        pos += (byte >= 0x80 && pos + 1 < text.size()) ? 2 : 1;
    }
    return starts;
}

// The replacement as a plain model: walk the character starts; after a match
// that ends inside a character, go on with the rest of the text as a text of
// its own.
Text ModelReplaceAll(const Text& text, const Text& search, const Text& replacement) {
    if (text.empty() || search.empty()) return text;
    const std::vector<std::size_t> starts = CharacterStarts(text);
    Text model;
    std::size_t next = 0;
    while (next < starts.size()) {
        const std::size_t pos = starts[next];
        if (text.size() - pos >= search.size() && text.compare(pos, search.size(), search) == 0) {
            model += replacement;
            const std::size_t end = pos + search.size();
            while (next < starts.size() && starts[next] < end) ++next;
            if (next == starts.size() || starts[next] != end) {
                if (end < text.size()) model += ModelReplaceAll(text.substr(end), search, replacement);
                break;
            }
        } else {
            const std::size_t end = next + 1 < starts.size() ? starts[next + 1] : text.size();
            model += text.substr(pos, end - pos);
            ++next;
        }
    }
    return model;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text input(reinterpret_cast<const char*>(data), size);
    std::vector<Text> parts(3);
    std::size_t part = 0;
    for (char c : input) {
        if (c == '\x01' && part < 2) {
            ++part;
        } else {
            parts[part] += c;
        }
    }
    const Text &text = parts[0], &search = parts[1], &replacement = parts[2];

    const std::vector<std::size_t> starts = CharacterStarts(text);
    std::int32_t expected = -1;
    if (!search.empty()) {
        for (std::size_t start : starts) {
            if (text.compare(start, search.size(), search) == 0 && text.size() - start >= search.size()) {
                expected = static_cast<std::int32_t>(start + 1);
                break;
            }
        }
    }
    Check(FindText(text, search) == expected);

    const Text model = ModelReplaceAll(text, search, replacement);
    Check(ReplaceAll(text, search, replacement) == model);
    Check(ReplaceAll(text, search, search) == text);
    return 0;
}
