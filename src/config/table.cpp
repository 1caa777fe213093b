#include "config/table.h"

#include "fault/fault.h"

std::int32_t TableRows(const TextTable& table) { return table.sizes.empty() ? 0 : table.sizes[0]; }

namespace {

// Flat position of `indices` (0-based) within `sizes`.
std::size_t FlatIndex(const std::vector<std::int32_t>& sizes, const std::vector<std::int32_t>& indices) {
    std::size_t flat = 0;
    for (std::size_t d = 0; d < sizes.size(); ++d) {
        flat = flat * static_cast<std::size_t>(sizes[d]) + static_cast<std::size_t>(indices[d]);
    }
    return flat;
}

}  // namespace

Text& TableCell(TextTable& table, std::initializer_list<std::int32_t> indices, FaultSite site) {
    if (indices.size() != table.sizes.size()) {
        RaiseFault(kFaultIndexCount, "下标数目与数组的维数不符", site.routine, site.place);
    }
    std::vector<std::int32_t> zeroBased;
    std::size_t d = 0;
    for (std::int32_t index : indices) {
        if (index < 1) RaiseFault(kFaultIndexBelowOne, "数组下标必须大于或等于1", site.routine, site.place);
        if (index > table.sizes[d]) {
            RaiseFault(kFaultIndexTooLarge, "数组下标超出了定义的范围", site.routine, site.place);
        }
        zeroBased.push_back(index - 1);
        ++d;
    }
    return table.cells[FlatIndex(table.sizes, zeroBased)];
}

void ResizeTable(TextTable& table, std::initializer_list<std::int32_t> sizes, FaultSite site) {
    const std::int32_t smallest = sizes.size() == 1 ? 0 : 1;
    std::size_t count = 1;
    for (std::int32_t size : sizes) {
        if (size < smallest) {
            RaiseFault(kFaultDimensionSize,
                       smallest == 0 ? "数组的维数尺寸必须大于或等于0" : "数组的维数尺寸必须大于0",
                       site.routine, site.place);
        }
        count *= static_cast<std::size_t>(size);
    }

    TextTable resized{std::vector<std::int32_t>(sizes), std::vector<Text>(count)};
    if (table.sizes.size() == resized.sizes.size()) {
        // Walk every cell of the new shape and move over those the old one had.
        std::vector<std::int32_t> index(resized.sizes.size(), 0);
        for (std::size_t flat = 0; flat < count; ++flat) {
            bool inOld = true;
            for (std::size_t k = 0; k < index.size(); ++k) inOld = inOld && index[k] < table.sizes[k];
            if (inOld) resized.cells[flat] = std::move(table.cells[FlatIndex(table.sizes, index)]);
            for (std::size_t k = index.size(); k-- > 0;) {
                if (++index[k] < resized.sizes[k]) break;
                index[k] = 0;
            }
        }
    }
    table = std::move(resized);
}

void ClearTable(TextTable& table) {
    table.sizes.clear();
    table.cells.clear();
}
