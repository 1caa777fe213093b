// The host INI reader on arbitrary files. The first byte picks the buffer
// size; the rest is the file. Every line that a section read returns, and
// every value, must come from a line of the file; the reader never writes
// past its buffer and always ends what it stores with zero bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/ini_reader.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool HasBom(const Text& file) {
    return file.rfind("\xEF\xBB\xBF", 0) == 0 || file.rfind("\xFF\xFE", 0) == 0 || file.rfind("\xFE\xFF", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t bufferSize = 2 + data[0] * 8;
    const Text file(reinterpret_cast<const char*>(data + 1), size - 1);

    for (const char* section : {"dir", "DIR", "a", " "}) {
        std::vector<char> buffer(static_cast<std::size_t>(bufferSize) + 16, '\x7E');
        const std::int32_t count = ini::ReadSection(file, section, buffer.data(), bufferSize);
        Check(count >= 0 && count <= bufferSize - 1);
        for (std::size_t i = static_cast<std::size_t>(bufferSize); i < buffer.size(); ++i) Check(buffer[i] == '\x7E');
        Check(buffer[static_cast<std::size_t>(count)] == '\0');
        const bool cut = count == bufferSize - 2;
        Text stored(buffer.data(), static_cast<std::size_t>(count));
        std::size_t start = 0;
        for (std::size_t pos = 0; pos <= stored.size(); ++pos) {
            if (pos < stored.size() && stored[pos] != '\0') continue;
            const Text line = stored.substr(start, pos - start);
            start = pos + 1;
            if (pos == stored.size() && (line.empty() || cut)) break;
            Check(line.find_first_of("\r\n") == Text::npos);
            if (HasBom(file) || cut) continue;
            // key=value comes back with the blanks around "=" dropped.
            const std::int32_t equals = FindText(line, "=");
            const Text key = equals < 0 ? line : line.substr(0, static_cast<std::size_t>(equals - 1));
            Check(file.find(key) != Text::npos);
            if (equals > 0) Check(file.find(line.substr(static_cast<std::size_t>(equals))) != Text::npos);

            char value[64];
            const std::int32_t n = ini::ReadString(file, section, key, nullptr, value, sizeof value);
            Check(n >= 0 && n < static_cast<std::int32_t>(sizeof value) && value[n] == '\0');
            Check(file.find(Text(value, static_cast<std::size_t>(n))) != Text::npos);
        }
    }
    return 0;
}
