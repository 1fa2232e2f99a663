#pragma once

#include "uikit/UITableViewCell.h"

#include <vector>

class UILabel;

// A schedule row of two columns: arrival day and journey time (the overview puts the estimated
// and scheduled arrival times in the same labels). Built from the layout "KESTFlightScheduledViewCell"; main thread
// only.
class KESTFlightScheduledViewCell : public UITableViewCell {
    VX_OBJECT(KESTFlightScheduledViewCell, UITableViewCell)
public:
    explicit KESTFlightScheduledViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFlightScheduledViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFlightScheduledViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<UILabel>& scheduledArrivalDayHeaderLabel() const { return m_scheduledArrivalDayHeaderLabel; }
    void setScheduledArrivalDayHeaderLabel(Ref<UILabel> v) { m_scheduledArrivalDayHeaderLabel = std::move(v); }
    const Ref<UILabel>& scheduledArrivalDayValueLabel() const { return m_scheduledArrivalDayValueLabel; }
    void setScheduledArrivalDayValueLabel(Ref<UILabel> v) { m_scheduledArrivalDayValueLabel = std::move(v); }
    const Ref<UILabel>& elapsedJourneyTimeHeaderLabel() const { return m_elapsedJourneyTimeHeaderLabel; }
    void setElapsedJourneyTimeHeaderLabel(Ref<UILabel> v) { m_elapsedJourneyTimeHeaderLabel = std::move(v); }
    const Ref<UILabel>& elapsedJourneyTimeValueLabel() const { return m_elapsedJourneyTimeValueLabel; }
    void setElapsedJourneyTimeValueLabel(Ref<UILabel> v) { m_elapsedJourneyTimeValueLabel = std::move(v); }

private:
    Ref<UILabel> m_scheduledArrivalDayHeaderLabel;
    Ref<UILabel> m_scheduledArrivalDayValueLabel;
    Ref<UILabel> m_elapsedJourneyTimeHeaderLabel;
    Ref<UILabel> m_elapsedJourneyTimeValueLabel;
};
