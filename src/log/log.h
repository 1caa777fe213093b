// The run log: one entry per call, appended to the day log beside the program
// or to a file the caller names.
#pragma once

#include <cstdint>
#include <optional>

#include "common/text.h"
#include "platform/platform.h"

// Nonzero lets WriteLog work at all.
extern std::int32_t LogEnabled;
// 1 puts the day log into LogsFolder, anything else into RunDirectory.
extern std::int32_t LogInSubfolder;

Text LogsFolder();  // RunDirectory + "\logs"

// Executable name without its final ".exe" (any letter case), "_", YYYYMMDD,
// ".log", in `directory`.
Text DayLogFile(const Text& directory, const os::LocalTime& now);
Text FormatTimeStamp(const os::LocalTime& now);

void WriteLog(const Text& message, const std::optional<Text>& tag1 = std::nullopt,
              const std::optional<Text>& tag2 = std::nullopt,
              const std::optional<Text>& logFilePath = std::nullopt,
              const std::optional<Text>& timeStamp = std::nullopt,
              std::optional<std::int32_t> sizeLimitMB = std::nullopt);
