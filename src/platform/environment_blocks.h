// Where the Windows version lies in the thread and process environment
// blocks. The reader takes the memory access as a routine so that the
// offsets can be checked on any host against a block laid out by hand.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace blocks {

struct Layout {
    unsigned pebInTeb;    // ProcessEnvironmentBlock
    unsigned selfInTeb;   // NT_TIB.Self, the TEB's own linear address
    unsigned majorInPeb;  // OSMajorVersion
    unsigned minorInPeb;  // OSMinorVersion
    unsigned pointerSize;
};

constexpr Layout kLayoutX86{0x30, 0x18, 0xA4, 0xA8, 4};
constexpr Layout kLayoutX64{0x60, 0x30, 0x118, 0x11C, 8};

using ReadU32 = std::uint32_t (*)(std::uint64_t address);

// Reads the PEB address and the TEB's self address; then, for a PEB address
// with its sign bit set (the Windows 95 family), the three values at 0x58,
// 0x54 and 0x7C of the thread information block, and otherwise the two
// version fields of the PEB.
os::VersionFields ReadVersionFieldsAt(const Layout& layout, std::uint64_t teb, ReadU32 read);

}  // namespace blocks
