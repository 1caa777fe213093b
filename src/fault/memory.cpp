// The program's own allocation functions: an allocation that fails is a
// fault of the channel, naming the bytes asked for, instead of an exception
// that nobody would catch.
#include <cstdlib>
#include <new>

#include "fault/fault.h"

namespace {

[[noreturn]] void RaiseMemoryFault(std::size_t size) {
    // No allocation here: there may be no memory left for one.
    static char message[96];
    static const char prefix[] = "内存不足，申请 ";
    static const char suffix[] = " 字节失败";
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + size % 10);
        size /= 10;
    } while (size != 0);
    std::size_t at = 0;
    for (const char* p = prefix; *p; ++p) message[at++] = *p;
    while (count > 0) message[at++] = digits[--count];
    for (const char* p = suffix; *p; ++p) message[at++] = *p;
    message[at] = '\0';
    RaiseFault(kFaultMessageOnly, message, kRoutineNone, 0);
}

void* Allocate(std::size_t size) {
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    RaiseMemoryFault(size);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
