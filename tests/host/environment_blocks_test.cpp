#include <gtest/gtest.h>

#include <map>

#include "platform/environment_blocks.h"

namespace {

// A hand-made address space: 32-bit words at their addresses; reading any
// other address fails the test, so the reader may touch only what it must.
std::map<std::uint64_t, std::uint32_t> Memory;

std::uint32_t Read(std::uint64_t address) {
    auto it = Memory.find(address);
    if (it == Memory.end()) {
        ADD_FAILURE() << "read of unmapped address 0x" << std::hex << address;
        return 0;
    }
    return it->second;
}

TEST(EnvironmentBlocks, X86NtBranchReadsThePebVersion) {
    const std::uint64_t teb = 0x7FFDE000, peb = 0x7FFDF000;
    Memory = {{teb + 0x30, static_cast<std::uint32_t>(peb)}, {teb + 0x18, static_cast<std::uint32_t>(teb)},
              {peb + 0xA4, 6}, {peb + 0xA8, 1}};
    os::VersionFields fields = blocks::ReadVersionFieldsAt(blocks::kLayoutX86, teb, Read);
    EXPECT_FALSE(fields.pebAddressNegative);
    EXPECT_EQ(fields.majorVersion, 6u);
    EXPECT_EQ(fields.minorVersion, 1u);
}

TEST(EnvironmentBlocks, X86PebAboveTwoGigabytesTakesThe9xBranch) {
    const std::uint64_t tib = 0x8153E000;
    Memory = {{tib + 0x30, 0x8153F000}, {tib + 0x18, static_cast<std::uint32_t>(tib)},
              {tib + 0x58, 0}, {tib + 0x54, 0x00530000}, {tib + 0x7C, 7}};
    os::VersionFields fields = blocks::ReadVersionFieldsAt(blocks::kLayoutX86, tib, Read);
    EXPECT_TRUE(fields.pebAddressNegative);
    EXPECT_EQ(fields.tib58, 0u);
    EXPECT_EQ(fields.tib54, 0x00530000u);
    EXPECT_EQ(fields.tib7C, 7u);
}

TEST(EnvironmentBlocks, X64ReadsEightBytePointersAndItsOwnOffsets) {
    const std::uint64_t teb = 0x000000FF'0000E000, peb = 0x000000FF'80010000;
    Memory = {{teb + 0x60, static_cast<std::uint32_t>(peb)}, {teb + 0x64, static_cast<std::uint32_t>(peb >> 32)},
              {teb + 0x30, static_cast<std::uint32_t>(teb)}, {teb + 0x34, static_cast<std::uint32_t>(teb >> 32)},
              {peb + 0x118, 10}, {peb + 0x11C, 0}};
    // Bit 31 of this PEB address is set, but a 64-bit address is negative
    // only with bit 63.
    os::VersionFields fields = blocks::ReadVersionFieldsAt(blocks::kLayoutX64, teb, Read);
    EXPECT_FALSE(fields.pebAddressNegative);
    EXPECT_EQ(fields.majorVersion, 10u);
    EXPECT_EQ(fields.minorVersion, 0u);
}

}  // namespace
