#include "fix/fix.h"
#include "log/log.h"
#include "platform/platform.h"

namespace {

const char* const SamplePath = "d:\\\\网络游戏\\\\英雄联盟\\\\Game\\\\League of Legends.exe";
const char* const LayersPlaceholder = "~ DISABLEDXMAXIMIZEDWINDOWEDMODE";
const char* const PatchTemplate =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers]\r\n"
    "\"d:\\\\网络游戏\\\\英雄联盟\\\\Game\\\\League of Legends.exe\"=\"~ DISABLEDXMAXIMIZEDWINDOWEDMODE\"\r\n";

static_assert(sizeof("d:\\\\网络游戏\\\\英雄联盟\\\\Game\\\\League of Legends.exe") == 51 + 1,
              "the sample path is 51 bytes in GBK");

// The registry editor reads a string value's data with \\ and \" as escapes.
Text EscapeForRegistryString(const Text& text) {
    return ReplaceAll(ReplaceAll(text, "\\", "\\\\"), "\"", "\\\"");
}

}  // namespace

Text PatchFile() { return RunDirectory + "\\logs\\debug.reg"; }

Text BuildPatchText(const Text& candidatePath, const Text& layers) {
    // Each placeholder is filled once, in its own place, so that neither
    // inserted text is searched again: a path that holds the placeholder's
    // text stays the path, and a layer text that holds the sample path stays
    // the layer text.
    const Text pattern = PatchTemplate;
    const Text sample = SamplePath;
    const Text placeholder = LayersPlaceholder;
    const std::size_t namePos = static_cast<std::size_t>(FindText(pattern, sample) - 1);
    const std::size_t dataPos = static_cast<std::size_t>(FindText(pattern, placeholder) - 1);
    const std::size_t nameEnd = namePos + sample.size();
    // A Windows path holds no quotation mark, so escaping the name as a
    // registry string doubles exactly its backslashes.
    return pattern.substr(0, namePos) + EscapeForRegistryString(candidatePath) +
           pattern.substr(nameEnd, dataPos - nameEnd) + EscapeForRegistryString(layers) +
           pattern.substr(dataPos + placeholder.size());
}

bool EnsureDirectory(const Text& path) {
    if (!path.empty() && path.back() == '\\') return os::MakeSureDirectoryPathExists(path);
    return os::MakeSureDirectoryPathExists(path + "\\");
}

void WritePatchFile(const Text& candidatePath, const Text& layers) {
    const Text patchText = BuildPatchText(candidatePath, layers);
    WriteLog(patchText);
    if (!os::PathExists(LogsFolder())) EnsureDirectory(LogsFolder());
    os::WriteWholeFile(PatchFile(), patchText);
}
