#pragma once

#include "app/view-controllers/common/KESTTableViewCell.h"

#include <vector>

class UIImageView;
class UILabel;

// The overview's flight row: the airline logo above flight number, callsign and registration. Built from the layout
// "KESTGeneralOverviewViewCell"; main thread only.
class KESTGeneralOverviewViewCell : public KESTTableViewCell {
    VX_OBJECT(KESTGeneralOverviewViewCell, KESTTableViewCell)
public:
    explicit KESTGeneralOverviewViewCell(Passkey key)
        : KESTTableViewCell(key)
    {
    }
    static Ref<KESTGeneralOverviewViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTGeneralOverviewViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<UIImageView>& airlineImageView() const { return m_airlineImageView; }
    void setAirlineImageView(Ref<UIImageView> v) { m_airlineImageView = std::move(v); }
    const Ref<UILabel>& flightNoHeaderLabel() const { return m_flightNoHeaderLabel; }
    void setFlightNoHeaderLabel(Ref<UILabel> v) { m_flightNoHeaderLabel = std::move(v); }
    const Ref<UILabel>& flightNoValueLabel() const { return m_flightNoValueLabel; }
    void setFlightNoValueLabel(Ref<UILabel> v) { m_flightNoValueLabel = std::move(v); }
    const Ref<UILabel>& callsignHeaderLabel() const { return m_callsignHeaderLabel; }
    void setCallsignHeaderLabel(Ref<UILabel> v) { m_callsignHeaderLabel = std::move(v); }
    const Ref<UILabel>& callsignValueLabel() const { return m_callsignValueLabel; }
    void setCallsignValueLabel(Ref<UILabel> v) { m_callsignValueLabel = std::move(v); }
    const Ref<UILabel>& regHeaderLabel() const { return m_regHeaderLabel; }
    void setRegHeaderLabel(Ref<UILabel> v) { m_regHeaderLabel = std::move(v); }
    const Ref<UILabel>& regValueLabel() const { return m_regValueLabel; }
    void setRegValueLabel(Ref<UILabel> v) { m_regValueLabel = std::move(v); }

private:
    Ref<UIImageView> m_airlineImageView;
    Ref<UILabel> m_flightNoHeaderLabel;
    Ref<UILabel> m_flightNoValueLabel;
    Ref<UILabel> m_callsignHeaderLabel;
    Ref<UILabel> m_callsignValueLabel;
    Ref<UILabel> m_regHeaderLabel;
    Ref<UILabel> m_regValueLabel;
};
