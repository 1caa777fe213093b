#include "platform/environment_blocks.h"

namespace blocks {

namespace {

std::uint64_t ReadPointer(const Layout& layout, std::uint64_t address, ReadU32 read) {
    std::uint64_t low = read(address);
    if (layout.pointerSize == 4) return low;
    return low | (static_cast<std::uint64_t>(read(address + 4)) << 32);
}

bool SignBitSet(const Layout& layout, std::uint64_t pointer) {
    if (layout.pointerSize == 4) return static_cast<std::int32_t>(static_cast<std::uint32_t>(pointer)) < 0;
    return static_cast<std::int64_t>(pointer) < 0;
}

}  // namespace

os::VersionFields ReadVersionFieldsAt(const Layout& layout, std::uint64_t teb, ReadU32 read) {
    os::VersionFields fields{};
    const std::uint64_t peb = ReadPointer(layout, teb + layout.pebInTeb, read);
    const std::uint64_t self = ReadPointer(layout, teb + layout.selfInTeb, read);
    fields.pebAddressNegative = SignBitSet(layout, peb);
    if (fields.pebAddressNegative) {
        fields.tib58 = read(self + 0x58);
        fields.tib54 = read(self + 0x54);
        fields.tib7C = read(self + 0x7C);
    } else {
        fields.majorVersion = read(peb + layout.majorInPeb);
        fields.minorVersion = read(peb + layout.minorInPeb);
    }
    return fields;
}

}  // namespace blocks
