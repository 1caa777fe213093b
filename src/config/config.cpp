#include "config/config.h"

#include <vector>

#include "fault/fault.h"
#include "platform/platform.h"

Text ConfigFile;
TextTable PathTable;

Text ConfigFilePath(const std::optional<Text>& fileName) {
    return RunDirectory + "\\" + fileName.value_or("config.ini");
}

static Text SkipLeadingControls(const Text& text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] >= 0x01 && text[pos] <= 0x20) ++pos;
    return text.substr(pos);
}

Text ReadIniValue(const Text& file, const Text& section, const Text& key, const Text& defaultValue) {
    const Text fileName = SkipLeadingControls(file);
    const Text sectionName = SkipLeadingControls(section);
    const Text keyName = SkipLeadingControls(key);
    if (fileName.empty() || sectionName.empty() || keyName.empty()) return Text();

    std::vector<char> buffer(kValueBufferSize, '\0');
    std::int32_t stored =
        os::GetPrivateProfileStringA(sectionName, keyName, defaultValue.empty() ? nullptr : defaultValue.c_str(),
                                     buffer.data(), kValueBufferSize, fileName);
    if (stored < 0) stored = 0;
    if (stored > kValueBufferSize) stored = kValueBufferSize;
    Text value(buffer.data(), static_cast<std::size_t>(stored));
    return value.substr(0, value.find('\0'));
}

std::int32_t ReadSectionTable(const Text& file, const Text& section, TextTable& table) {
    ClearTable(table);

    std::vector<char> sectionBuffer(kSectionBufferSize, '\0');
    std::int32_t count = os::GetPrivateProfileSectionA(section, sectionBuffer.data(), kSectionBufferSize, file);
    if (count < 0) count = 0;
    if (count > kSectionBufferSize) count = kSectionBufferSize;
    const Text kept(sectionBuffer.data(), static_cast<std::size_t>(count));

    std::vector<Text> lines;
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < kept.size(); ++pos) {
        if (kept[pos] == '\0') {
            lines.push_back(kept.substr(start, pos - start));
            start = pos + 1;
        }
    }
    // The system says that the section did not fit by returning the size less
    // two; the unterminated last line is then cut short and would name a
    // shorter, wrong path, so it makes no row.
    const bool cut = count == kSectionBufferSize - 2;
    if (start < kept.size() && !cut) lines.push_back(kept.substr(start));

    const std::int32_t rows = static_cast<std::int32_t>(lines.size());
    for (std::int32_t row = 1; row <= rows; ++row) {
        const Text& line = lines[static_cast<std::size_t>(row - 1)];
        const std::int32_t equals = FindText(line, "=");
        const Text key = equals > 0 ? line.substr(0, static_cast<std::size_t>(equals - 1)) : line;
        ResizeTable(table, {row, 2}, {kRoutineReadSectionTable, 1});
        TableCell(table, {row, kGamePathColumn}, {kRoutineReadSectionTable, 2}) = key;
        TableCell(table, {row, kLayersColumn}, {kRoutineReadSectionTable, 3}) =
            ReadIniValue(file, section, key, Text());
    }
    return 2 * TableRows(table);
}
