#include "grid/NSValue+LGridRow.h"

bool LGridRowBox::isEqual(const NSObject* other) const
{
    auto* box = dynamic_cast<const LGridRowBox*>(other);
    return box && box->m_row == m_row;
}

size_t LGridRowBox::hash() const
{
    return static_cast<size_t>(static_cast<uint32_t>(m_row.index)) * 31u + static_cast<uint32_t>(m_row.section);
}

std::string LGridRowBox::description() const
{
    return NSStringFromSGridRow(m_row);
}

namespace NSValue_LGridRow {

Value valueWithRow(LGridRow row)
{
    return Value::object(LGridRowBox::boxWithRow(row));
}

std::optional<LGridRow> rowValue(const Value& value)
{
    if (!value.isObject())
        return std::nullopt;
    auto box = value.objectAs<LGridRowBox>();
    if (!box)
        return std::nullopt;
    return box->row();
}

} // namespace NSValue_LGridRow
