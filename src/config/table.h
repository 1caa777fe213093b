// A table of Texts with 1-based indices. Every access is checked; a bad index
// or size is a fault of the channel, located by the caller's routine and place.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "common/text.h"

struct TextTable {
    std::vector<std::int32_t> sizes;  // empty for the empty table
    std::vector<Text> cells;          // row-major
};

struct FaultSite {
    std::int32_t routine;
    std::int32_t place;
};

// The size of the first dimension; 0 for the empty table.
std::int32_t TableRows(const TextTable& table);

Text& TableCell(TextTable& table, std::initializer_list<std::int32_t> indices, FaultSite site);

// New sizes; cells whose indices lie inside both the old and the new sizes
// keep their Texts, the others start empty.
void ResizeTable(TextTable& table, std::initializer_list<std::int32_t> sizes, FaultSite site);

void ClearTable(TextTable& table);
