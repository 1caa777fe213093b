#include "fault/system_id.h"

const char* const OsNameTable[10] = {"未知",    "Win95", "Win98",   "WinME", "WinNT",
                                     "Win2000", "WinXP", "Win2003", "Vista", "Win7"};

bool IsWow64() {
    char buffer[257];
    for (int i = 0; i < 256; ++i) buffer[i] = ' ';
    buffer[256] = '\0';
    std::uint32_t length = os::GetSystemDirectoryA(buffer, 256);

    os::ModuleHandle kernel32 = nullptr;
    if (length > 0) kernel32 = os::LoadLibraryA(Text(buffer) + "\\kernel32.dll");
    if (kernel32 == nullptr) kernel32 = os::LoadLibraryA("kernel32.dll");
    if (kernel32 == nullptr) return false;

    std::int32_t flag = 0;
    if (os::ProcAddress function = os::GetProcAddress(kernel32, "IsWow64Process")) {
        if (!os::CallIsWow64Process(function, &flag)) {
            os::FreeLibrary(kernel32);
            return false;
        }
    }
    // kernel32 stays loaded for the life of the process anyway; the reference
    // is released with it.
    return flag != 0;
}

std::int32_t VersionCodeFrom(const os::VersionFields& fields) {
    const std::uint32_t kMarker9x = 0x00530000;
    if (fields.pebAddressNegative) {
        if (fields.tib58 == kMarker9x) return 1;
        if (fields.tib54 == kMarker9x) return 2;
        if (fields.tib7C == kMarker9x) return 3;
        return 0;
    }
    std::uint32_t major = fields.majorVersion, minor = fields.minorVersion;
    if (major <= 4) return 4;
    if (major == 5 && minor <= 2) return 5 + static_cast<std::int32_t>(minor);
    if (major == 6 && minor <= 1) return 8 + static_cast<std::int32_t>(minor);
    return 0;
}

std::int32_t OsVersionCode() { return VersionCodeFrom(os::ReadVersionFields()); }

Text OsName() {
    std::int32_t code = OsVersionCode();
    if (code < 0 || code > 9) code = 0;
    return OsNameTable[code];
}

const char* WindowsBitness() {
    if (sizeof(void*) == 8) return "X64";
    return IsWow64() ? "X64" : "X86";
}
