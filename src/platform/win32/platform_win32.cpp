// The Windows implementation: each operation is the Win32 call it names.
// Every function is linked when the process is loaded.
#include <windows.h>
#include <imagehlp.h>

#include <cstdlib>

#include "platform/environment_blocks.h"
#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {

const char kWindowClass[] = "LayerfixMainWindow";
os::CreationHandler RunOnCreation = nullptr;
HWND MainWindow = nullptr;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE && RunOnCreation != nullptr) {
        MainWindow = window;
        RunOnCreation();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::uint32_t ReadMemory32(std::uint64_t address) {
    return *reinterpret_cast<const volatile std::uint32_t*>(static_cast<std::uintptr_t>(address));
}

}  // namespace

namespace os {

void StartPlatform() {
    // GetModuleFileNameA cuts a long path to the buffer and then returns the
    // buffer's size: grow it until the whole path fits.
    Text path;
    for (DWORD size = MAX_PATH;; size *= 2) {
        path.assign(size, '\0');
        DWORD length = GetModuleFileNameA(nullptr, &path[0], size);
        if (length == 0) {
            path.clear();
            break;
        }
        if (length < size) {
            path.resize(length);
            break;
        }
        if (size >= 32768 * 2) break;
    }
    platform::FixRunDirectory(path);
    // "C:" alone would name the drive's current folder, not its root.
    const Text current = RunDirectory.size() == 2 ? RunDirectory + "\\" : RunDirectory;
    SetCurrentDirectoryA(current.c_str());
}

bool CreateMainWindow(CreationHandler onCreated, std::uintptr_t parent) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);

    RunOnCreation = onCreated;
    // No WS_VISIBLE: the handler ends the process before the window would be shown.
    HWND window = CreateWindowExA(0, kWindowClass, "", WS_OVERLAPPEDWINDOW, 50, 50, 380, 250,
                                  reinterpret_cast<HWND>(parent), nullptr, instance, nullptr);
    if (window == nullptr) return false;
    MainWindow = window;
    ShowWindow(window, SW_SHOW);
    return true;
}

void RunMessageLoop() {
    if (MainWindow == nullptr) return;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void EndProcess(int exitCode) {
    platform::RunExitRoutines();
    ExitProcess(static_cast<UINT>(exitCode));
}

std::vector<Text> ProgramArguments() {
    std::vector<Text> arguments;
    for (int i = 1; i < __argc; ++i) arguments.push_back(__argv[i]);
    return arguments;
}

bool PathExists(const Text& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

std::int32_t FileSize(const Text& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return -1;
    FindClose(find);
    return static_cast<std::int32_t>(data.nFileSizeLow);
}

void CreateDirectoryA(const Text& path) { ::CreateDirectoryA(path.c_str(), nullptr); }

void DeleteFileA(const Text& path) { ::DeleteFileA(path.c_str()); }

bool MakeSureDirectoryPathExists(const Text& path) { return ::MakeSureDirectoryPathExists(path.c_str()) != FALSE; }

void AppendLine(const Text& path, const Text& text) {
    if (path.empty()) return;
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    // Instances that append to one log at once take turns on a lock of one
    // byte far beyond any real content, so readers are never blocked; going
    // to the end and writing the whole entry then happen as one step.
    OVERLAPPED lockPlace = {};
    lockPlace.OffsetHigh = 0x7FFFFFFF;
    const BOOL locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockPlace);
    const Text entry = text + "\r\n";
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    if (locked) UnlockFileEx(file, 0, 1, 0, &lockPlace);
    CloseHandle(file);
}

bool WriteWholeFile(const Text& path, const Text& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::int32_t GetPrivateProfileSectionA(const Text& section, char* buffer, std::int32_t size, const Text& file) {
    return static_cast<std::int32_t>(
        ::GetPrivateProfileSectionA(section.c_str(), buffer, static_cast<DWORD>(size), file.c_str()));
}

std::int32_t GetPrivateProfileStringA(const Text& section, const Text& key, const char* defaultValue,
                                      char* buffer, std::int32_t size, const Text& file) {
    return static_cast<std::int32_t>(::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue, buffer,
                                                                static_cast<DWORD>(size), file.c_str()));
}

unsigned GetDriveTypeA(const Text& root) { return ::GetDriveTypeA(root.c_str()); }

LocalTime LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::uint32_t GetCurrentProcessId() { return ::GetCurrentProcessId(); }

void Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

bool StartProcess(const Text& commandLine, bool wait) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    Text line = commandLine;  // CreateProcessA may write into its command line
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    if (wait) {
        WaitForSingleObject(process.hProcess, INFINITE);
    } else {
        WaitForInputIdle(process.hProcess, 1000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void MessageBoxA(const char* text, const char* caption, std::uint32_t style) {
    ::MessageBoxA(nullptr, text, caption, style);
}

std::uint32_t GetSystemDirectoryA(char* buffer, std::uint32_t size) { return ::GetSystemDirectoryA(buffer, size); }

ModuleHandle LoadLibraryA(const Text& name) { return ::LoadLibraryA(name.c_str()); }

ProcAddress GetProcAddress(ModuleHandle module, const char* name) {
    return reinterpret_cast<ProcAddress>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

bool CallIsWow64Process(ProcAddress function, std::int32_t* flag) {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    BOOL result = FALSE;
    BOOL ok = reinterpret_cast<IsWow64ProcessFunction>(function)(GetCurrentProcess(), &result);
    *flag = result;
    return ok != FALSE;
}

void FreeLibrary(ModuleHandle module) { ::FreeLibrary(static_cast<HMODULE>(module)); }

// GCC takes the segment-relative read inside NtCurrentTeb for an access to a
// zero-length array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
VersionFields ReadVersionFields() {
#ifdef _WIN64
    const blocks::Layout& layout = blocks::kLayoutX64;
#else
    const blocks::Layout& layout = blocks::kLayoutX86;
#endif
    const auto teb = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(NtCurrentTeb()));
    return blocks::ReadVersionFieldsAt(layout, teb, ReadMemory32);
}
#pragma GCC diagnostic pop

}  // namespace os
