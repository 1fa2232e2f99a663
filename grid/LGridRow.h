#pragma once

#include <cstdint>
#include <string>

// A row of the grid: its index within a section and the section's index. Passed by value.
// Rows are ordered by section first, then by index, with signed comparisons, so (-1, -1), the
// row that means "no row", comes before every real row.
struct LGridRow {
    int32_t index { 0 };
    int32_t section { 0 };
};

// The type text of a boxed row.
inline constexpr const char* LGridRowObjCType = "{?=ii}";

LGridRow LGridRowMake(int32_t index, int32_t section);
// "Row: {i=<index>, s=<section>}".
std::string NSStringFromSGridRow(LGridRow row);
bool LGridRowEqualToRow(LGridRow a, LGridRow b);
// True when a comes before b in the row order.
bool LGridRowLessThanRow(LGridRow a, LGridRow b);
// True when a comes after b in the row order.
bool LGridRowGreaterThanRow(LGridRow a, LGridRow b);
bool LGridRowLessThanOrEqualToRow(LGridRow a, LGridRow b);
bool LGridRowGreaterThanOrEqualToRow(LGridRow a, LGridRow b);

// Byte equality of two rows, as for boxed rows; lets rows live in standard containers.
inline bool operator==(LGridRow a, LGridRow b)
{
    return a.index == b.index && a.section == b.section;
}
