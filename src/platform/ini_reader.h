// Private-profile (INI) reading for systems that do not have it, following the
// rules of Windows' GetPrivateProfileSectionA and GetPrivateProfileStringA:
// CR, LF and CR LF end lines; blank lines and lines whose first non-blank
// byte is ";" are skipped; "[" opens a section whose name ends at the first
// "]"; section and key names match without regard to ASCII case and the first
// of a name wins; keys and values lose their outer blanks and tabs; a value
// looked up loses one pair of matching outer quotes. A zero byte ends its line.
// A file with a UTF-8 or UTF-16 byte-order mark is read in that encoding.
#pragma once

#include <cstdint>
#include <optional>

#include "common/text.h"

namespace ini {

// `fileBytes` absent: no such file.
std::int32_t ReadSection(const std::optional<Text>& fileBytes, const Text& section, char* buffer,
                         std::int32_t size);
std::int32_t ReadString(const std::optional<Text>& fileBytes, const Text& section, const Text& key,
                        const char* defaultValue, char* buffer, std::int32_t size);

}  // namespace ini
