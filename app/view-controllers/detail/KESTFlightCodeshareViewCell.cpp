#include "app/view-controllers/detail/KESTFlightCodeshareViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "foundation/Value.h"
#include "uikit/UILabel.h"

#include <cmath>

VX_REGISTER_CLASS(KESTFlightCodeshareViewCell);

void KESTFlightCodeshareViewCell::awakeFromNib()
{
    setClipsToBounds(true);
    if (m_codeshareDescriptionLabel) {
        KESTDetailCellStyle::headline(m_codeshareDescriptionLabel);
        m_codeshareDescriptionLabel->setText(NSLocalizedString("Codeshares"));
    }
    for (const auto& label : m_codeshareLabels)
        KESTDetailCellStyle::body(label);
}

Ref<UILabel> KESTFlightCodeshareViewCell::codeshareLabel(int32_t i) const
{
    if (i < 1 || static_cast<size_t>(i) > m_codeshareLabels.size())
        return nullptr;
    return m_codeshareLabels[static_cast<size_t>(i - 1)];
}

void KESTFlightCodeshareViewCell::setData(const Value& data)
{
    const Value& list = data.objectAtIndex(0);
    size_t count = list.isArray() ? list.count() : 0;
    for (int32_t i = 1; i <= kLabelCount; ++i) {
        auto label = codeshareLabel(i);
        if (!label)
            continue;
        bool shown = static_cast<size_t>(i) <= count;
        const Value& entry = shown ? list.objectAtIndex(static_cast<size_t>(i - 1)) : Value();
        label->setText(entry.isString() ? entry.string() : entry.stringValue());
        label->setHidden(!shown);
    }
    if (count == 0) {
        if (auto first = codeshareLabel(1)) {
            first->setText(NSLocalizedString("N/A"));
            first->setHidden(false);
        }
    }
}

float KESTFlightCodeshareViewCell::heightWithData(const Value& list)
{
    size_t count = list.isArray() ? list.count() : 0;
    if (count < 2)
        return 64;
    return std::floor(std::ceil(static_cast<float>(count) / 3) * 34 + 32);
}
