// config.ini of arbitrary bytes through the section read and the row
// processing, on the in-memory machine with two fixed drives and one game.
// Every row's game path comes from a line of the file; every row is tried on
// both drives; every hit imports the patch built for it.
#include <cstdint>
#include <cstdlib>

#include "config/config.h"
#include "fix/fix.h"
#include "log/log.h"
#include "platform/fake/fake.h"
#include "platform/platform.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Text file(reinterpret_cast<const char*>(data), size);
    fake::Reset();
    fake::SetDriveType('D', os::kDriveFixed);
    fake::AddFile("D:\\Games\\a.exe", "MZ");
    fake::AddFile("C:\\Tool\\config.ini", file);
    os::StartPlatform();
    LogEnabled = 1;
    LogInSubfolder = 1;

    TextTable table;
    const std::int32_t cells = ReadSectionTable("C:\\Tool\\config.ini", "dir", table);
    const std::int32_t rows = TableRows(table);
    Check(cells == 2 * rows);
    const bool plain = file.rfind("\xEF\xBB\xBF", 0) != 0 && file.rfind("\xFF\xFE", 0) != 0 && file.rfind("\xFE\xFF", 0) != 0;

    std::size_t hits = 0;
    for (std::int32_t row = 1; row <= rows; ++row) {
        const Text gamePath = TableCell(table, {row, kGamePathColumn}, {0, 0});
        const Text layers = TableCell(table, {row, kLayersColumn}, {0, 0});
        Check(gamePath.find_first_of(Text("\r\n\0", 3)) == Text::npos);
        if (plain) Check(file.find(gamePath) != Text::npos);
        for (const char* drive : {"C:", "D:"}) hits += os::PathExists(CandidatePathFor(drive, gamePath)) ? 1 : 0;
        const std::size_t startedBefore = fake::Started().size();
        ProcessPathEntry(gamePath, layers);
        for (std::size_t i = startedBefore; i < fake::Started().size(); ++i) {
            Check(fake::Started()[i].wait);
            Check(fake::Started()[i].patchFileAtStart.has_value());
        }
    }
    Check(fake::Started().size() == hits);
    Check(fake::Pauses().size() == hits);
    return 0;
}
