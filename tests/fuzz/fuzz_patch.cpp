// The registry patch for arbitrary paths and layer texts (the bytes a path
// or an INI value can hold: no zero byte, no line break). The patch has four
// lines, and its value line, read back as the registry editor reads it,
// gives the path and the layer text again. Input: path 0x01 layers.
#include <cstdint>
#include <cstdlib>

#include "common/text.h"
#include "fix/fix.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// One quoted string of the import format from `pos`, by characters, with
// \\ and \" as escapes; `pos` ends after the closing quote.
bool ReadQuoted(const Text& line, std::size_t& pos, Text& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    ++pos;
    while (pos < line.size()) {
        const std::size_t len = CharLength(line, pos);
        if (len == 1 && line[pos] == '"') {
            ++pos;
            return true;
        }
        if (len == 1 && line[pos] == '\\' && pos + 1 < line.size()) {
            out += line[pos + 1];
            pos += 2;
            continue;
        }
        out.append(line, pos, len);
        pos += len;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Text input(reinterpret_cast<const char*>(data), size);
    for (char& c : input) {
        if (c == '\0' || c == '\r' || c == '\n') c = ' ';
    }
    const std::size_t split = input.find('\x01');
    const Text path = input.substr(0, split);
    const Text layers = split == Text::npos ? Text() : input.substr(split + 1);

    const Text patch = BuildPatchText(path, layers);
    std::size_t lines = 0, pos = 0, valueStart = 0;
    for (std::size_t at; (at = patch.find("\r\n", pos)) != Text::npos; pos = at + 2) {
        if (++lines == 4) Check(at + 2 == patch.size());
        if (lines == 3) valueStart = at + 2;
    }
    Check(lines == 4 && pos == patch.size());
    Check(patch.compare(0, 40, "Windows Registry Editor Version 5.00\r\n\r\n") == 0);

    const Text valueLine = patch.substr(valueStart, patch.size() - 2 - valueStart);
    // A character cannot end with a lone first byte: the registry editor
    // would take the closing quote as its second byte.
    auto endsInLeadByte = [](const Text& text) {
        std::size_t at = 0, last = 0;
        while (at < text.size()) last = at, at += CharLength(text, at);
        return !text.empty() && static_cast<unsigned char>(text[last]) >= 0x80 && last + 1 == text.size();
    };
    if (endsInLeadByte(path) || endsInLeadByte(layers)) return 0;
    Text name, value;
    std::size_t at = 0;
    Check(ReadQuoted(valueLine, at, name));
    Check(at < valueLine.size() && valueLine[at] == '=');
    ++at;
    Check(ReadQuoted(valueLine, at, value));
    Check(at == valueLine.size());
    Check(name == path);
    Check(value == layers);
    return 0;
}
