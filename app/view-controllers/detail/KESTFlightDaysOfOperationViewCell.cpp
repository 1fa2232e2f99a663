#include "app/view-controllers/detail/KESTFlightDaysOfOperationViewCell.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "foundation/NSBundle.h"
#include "graphics/UIFont.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTFlightDaysOfOperationViewCell);

void KESTFlightDaysOfOperationViewCell::awakeFromNib()
{
    const Ref<UILabel>* days[] = { &m_mondayLabel, &m_tuesdayLabel, &m_wednesdayLabel, &m_thursdayLabel, &m_fridayLabel,
        &m_saturdayLabel, &m_sundayLabel };
    const char* names[] = { "MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN" };
    for (size_t i = 0; i < 7; ++i) {
        if (!*days[i])
            continue;
        (*days[i])->setFont(UIFont::systemFontOfSize(13));
        (*days[i])->setText(NSLocalizedString(names[i]));
    }
    if (m_titleLabel)
        m_titleLabel->setText(NSLocalizedString("Days of Operation"));
}

Ref<UILabel> KESTFlightDaysOfOperationViewCell::dayLabel(int32_t day) const
{
    const Ref<UILabel>* days[] = { &m_mondayLabel, &m_tuesdayLabel, &m_wednesdayLabel, &m_thursdayLabel, &m_fridayLabel,
        &m_saturdayLabel, &m_sundayLabel };
    return day >= 1 && day <= 7 ? *days[day - 1] : nullptr;
}

Ref<UIImageView> KESTFlightDaysOfOperationViewCell::dayImageView(int32_t day) const
{
    const Ref<UIImageView>* days[] = { &m_mondayImageView, &m_tuesdayImageView, &m_wednesdayImageView,
        &m_thursdayImageView, &m_fridayImageView, &m_saturdayImageView, &m_sundayImageView };
    return day >= 1 && day <= 7 ? *days[day - 1] : nullptr;
}
