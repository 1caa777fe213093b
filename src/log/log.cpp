#include "log/log.h"

std::int32_t LogEnabled = 0;
std::int32_t LogInSubfolder = 0;

Text LogsFolder() { return RunDirectory + "\\logs"; }

Text DayLogFile(const Text& directory, const os::LocalTime& now) {
    // Only the file name is cut, so that a folder that happens to hold
    // ".exe.log" in its name is left alone.
    Text stem = ExecutableName;
    if (EndsWithNoCase(stem, ".exe")) stem.resize(stem.size() - 4);
    return directory + "\\" + stem + "_" + NumberToText(now.year) + TwoDigits(now.month) +
           TwoDigits(now.day) + ".log";
}

Text FormatTimeStamp(const os::LocalTime& now) {
    return NumberToText(now.year) + "-" + TwoDigits(now.month) + "-" + TwoDigits(now.day) + " " +
           TwoDigits(now.hour) + ":" + TwoDigits(now.minute) + ":" + TwoDigits(now.second);
}

static Text EntryBody(const Text& message, const std::optional<Text>& tag1, const std::optional<Text>& tag2) {
    Text prefix;
    if (tag1) prefix = *tag1;
    if (tag2) prefix += " / " + *tag2;
    if (tag1.value_or("").empty() && tag2.value_or("").empty()) prefix.clear();
    return prefix.empty() ? message : "[" + prefix + "] " + message;
}

void WriteLog(const Text& message, const std::optional<Text>& tag1, const std::optional<Text>& tag2,
              const std::optional<Text>& logFilePath, const std::optional<Text>& timeStamp,
              std::optional<std::int32_t> sizeLimitMB) {
    if (LogEnabled == 0) return;

    Text directory = RunDirectory;
    if (LogInSubfolder == 1) {
        directory = LogsFolder();
        if (!os::PathExists(directory)) os::CreateDirectoryA(directory);
    }

    const os::LocalTime now = os::LocalNow();
    const Text target = logFilePath ? *logFilePath : DayLogFile(directory, now);
    const Text stamp = timeStamp ? *timeStamp : FormatTimeStamp(now);

    const std::int32_t limit = sizeLimitMB.value_or(0);
    if (limit > 0) {
        const std::int32_t size = os::FileSize(target);
        if (size / 1048576.0 - limit > 0.0000001) os::DeleteFileA(target);
    }

    const Text entry = stamp + " [PID " + NumberToText(os::GetCurrentProcessId()) + "] : " +
                       EntryBody(message, tag1, tag2);
    os::AppendLine(target, entry);
}
