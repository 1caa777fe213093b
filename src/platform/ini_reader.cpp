#include "platform/ini_reader.h"

#include <cstring>
#include <vector>

#include "platform/host_charset.h"

namespace ini {

namespace {

struct Entry {
    Text key;
    std::optional<Text> value;  // absent for a line without "="
};

struct Section {
    Text name;
    std::vector<Entry> entries;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Blanks are whole characters: the second byte of a two-byte character may
// be 0x20 or 0x09 and is never trimmed.
Text Trim(const Text& text) {
    std::size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin])) ++begin;
    std::size_t end = begin;
    for (std::size_t pos = begin; pos < text.size();) {
        const std::size_t len = CharLength(text, pos);
        pos += len;
        if (len == 2 || !IsBlank(text[pos - 1])) end = pos;
    }
    return text.substr(begin, end - begin);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Only single-byte characters have a case: the trail byte of a two-byte
// character is compared as it is.
bool SameName(const Text& a, const Text& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t pos = 0; pos < a.size();) {
        std::size_t len = CharLength(a, pos);
        if (len == 2) {
            if (a[pos] != b[pos] || a[pos + 1] != b[pos + 1]) return false;
        } else if (AsciiLower(a[pos]) != AsciiLower(b[pos])) {
            return false;
        }
        pos += len;
    }
    return true;
}

Text DecodeToAnsi(const Text& bytes) {
    auto startsWith = [&](const char* bom, std::size_t n) {
        return bytes.size() >= n && std::memcmp(bytes.data(), bom, n) == 0;
    };
    if (startsWith("\xEF\xBB\xBF", 3)) return charset::Convert(bytes.substr(3), "UTF-8", "GBK");
    if (startsWith("\xFF\xFE", 2)) return charset::Convert(bytes.substr(2), "UTF-16LE", "GBK");
    if (startsWith("\xFE\xFF", 2)) return charset::Convert(bytes.substr(2), "UTF-16BE", "GBK");
    return bytes;
}

std::vector<Section> Parse(const Text& fileBytes) {
    const Text text = DecodeToAnsi(fileBytes);
    std::vector<Section> sections;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == Text::npos) end = text.size();
        Text line = text.substr(pos, end - pos);
        pos = end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n'
                  ? end + 2
                  : end + 1;

        line = Trim(line.substr(0, line.find('\0')));
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            // A trail byte may be 0x5D; only a real "]" closes the name.
            const std::int32_t close = FindText(line, "]");
            const std::size_t nameLength = close > 0 ? static_cast<std::size_t>(close) - 2 : Text::npos;
            sections.push_back({Trim(line.substr(1, nameLength)), {}});
            continue;
        }
        // Lines before the first section belong to no section that can be asked for.
        if (sections.empty()) continue;
        const std::int32_t equals = FindText(line, "=");
        if (equals < 0) {
            sections.back().entries.push_back({line, std::nullopt});
        } else {
            const std::size_t at = static_cast<std::size_t>(equals - 1);
            sections.back().entries.push_back({Trim(line.substr(0, at)), Trim(line.substr(at + 1))});
        }
    }
    return sections;
}

// A run asks for one value per line of the same file: keep the last file's
// sections rather than parse it again for each.
const std::vector<Section>& ParseCached(const Text& fileBytes) {
    static Text cachedBytes;
    static std::vector<Section> cachedSections;
    static bool filled = false;
    if (!filled || cachedBytes != fileBytes) {
        cachedSections = Parse(fileBytes);
        cachedBytes = fileBytes;
        filled = true;
    }
    return cachedSections;
}

const Section* FindSection(const std::vector<Section>& sections, const Text& name) {
    for (const Section& section : sections) {
        if (SameName(section.name, name)) return &section;
    }
    return nullptr;
}

}  // namespace

std::int32_t ReadSection(const std::optional<Text>& fileBytes, const Text& section, char* buffer,
                         std::int32_t size) {
    if (size <= 0) return 0;
    Text lines;
    if (fileBytes) {
        const std::vector<Section>& sections = ParseCached(*fileBytes);
        if (const Section* found = FindSection(sections, section)) {
            for (const Entry& entry : found->entries) {
                lines += entry.key;
                if (entry.value) lines += "=" + *entry.value;
                lines += '\0';
            }
        }
    }
    const std::size_t room = static_cast<std::size_t>(size);
    if (lines.size() + 1 <= room) {
        std::memcpy(buffer, lines.data(), lines.size());
        buffer[lines.size()] = '\0';
        return static_cast<std::int32_t>(lines.size());
    }
    if (room < 2) {
        buffer[0] = '\0';
        return 0;
    }
    // Too long: the last string is cut and followed by two zero bytes.
    std::memcpy(buffer, lines.data(), room - 2);
    buffer[room - 2] = '\0';
    buffer[room - 1] = '\0';
    return size - 2;
}

std::int32_t ReadString(const std::optional<Text>& fileBytes, const Text& section, const Text& key,
                        const char* defaultValue, char* buffer, std::int32_t size) {
    if (size <= 0) return 0;
    Text value = defaultValue ? defaultValue : "";
    if (fileBytes) {
        const std::vector<Section>& sections = ParseCached(*fileBytes);
        if (const Section* found = FindSection(sections, section)) {
            for (const Entry& entry : found->entries) {
                if (!SameName(entry.key, key)) continue;
                if (entry.value) {
                    value = *entry.value;
                    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
                        value = value.substr(1, value.size() - 2);
                    }
                }
                break;
            }
        }
    }
    const std::size_t copied = value.size() < static_cast<std::size_t>(size) ? value.size() : static_cast<std::size_t>(size) - 1;
    std::memcpy(buffer, value.data(), copied);
    buffer[copied] = '\0';
    return static_cast<std::int32_t>(copied);
}

}  // namespace ini
