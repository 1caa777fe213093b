// config.ini beside the program, and its section "dir" read into the path
// table: one row per line, the game path and its compatibility layer text.
#pragma once

#include <cstdint>
#include <optional>

#include "common/text.h"
#include "config/table.h"

// PathTable rows have two cells: the game path as written (column 1) and the
// layer text that the INI lookup gives for it (column 2).
constexpr std::int32_t kGamePathColumn = 1;
constexpr std::int32_t kLayersColumn = 2;

extern Text ConfigFile;
extern TextTable PathTable;

constexpr std::int32_t kSectionBufferSize = 32767;
constexpr std::int32_t kValueBufferSize = 10240;

// RunDirectory, "\", and the name ("config.ini" when none is given).
Text ConfigFilePath(const std::optional<Text>& fileName = std::nullopt);

// The value of `key`, or `defaultValue`; leading bytes 0x01-0x20 of file,
// section and key are skipped, and an empty one makes no lookup.
Text ReadIniValue(const Text& file, const Text& section, const Text& key, const Text& defaultValue);

// Replaces `table` with one row per line of the section; returns the number
// of cells. Lines are split at their first "="; the value comes from a lookup.
std::int32_t ReadSectionTable(const Text& file, const Text& section, TextTable& table);
