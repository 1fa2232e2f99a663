#include "grid/LGridRow.h"

#include "foundation/NSString.h"

LGridRow LGridRowMake(int32_t index, int32_t section)
{
    return LGridRow { index, section };
}

std::string NSStringFromSGridRow(LGridRow row)
{
    return NSString::stringWithFormat("Row: {i=%ld, s=%ld}", row.index, row.section);
}

bool LGridRowEqualToRow(LGridRow a, LGridRow b)
{
    return a.index == b.index && a.section == b.section;
}

bool LGridRowLessThanRow(LGridRow a, LGridRow b)
{
    return a.section < b.section || (a.section == b.section && a.index < b.index);
}

bool LGridRowGreaterThanRow(LGridRow a, LGridRow b)
{
    return a.section > b.section || (a.section == b.section && a.index > b.index);
}

bool LGridRowLessThanOrEqualToRow(LGridRow a, LGridRow b)
{
    return !LGridRowGreaterThanRow(a, b);
}

bool LGridRowGreaterThanOrEqualToRow(LGridRow a, LGridRow b)
{
    return !LGridRowLessThanRow(a, b);
}
