#pragma once

#include "uikit/UITableViewCell.h"

#include <vector>

class UILabel;

// A schedule row: service type and seats. Built from the layout "KESTFlightServiceTypeViewCell"; main thread only.
class KESTFlightServiceTypeViewCell : public UITableViewCell {
    VX_OBJECT(KESTFlightServiceTypeViewCell, UITableViewCell)
public:
    explicit KESTFlightServiceTypeViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFlightServiceTypeViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFlightServiceTypeViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<UILabel>& serviceTypeHeaderLabel() const { return m_serviceTypeHeaderLabel; }
    void setServiceTypeHeaderLabel(Ref<UILabel> v) { m_serviceTypeHeaderLabel = std::move(v); }
    const Ref<UILabel>& serviceTypeValueLabel() const { return m_serviceTypeValueLabel; }
    void setServiceTypeValueLabel(Ref<UILabel> v) { m_serviceTypeValueLabel = std::move(v); }
    const Ref<UILabel>& totalSeatsHeaderLabel() const { return m_totalSeatsHeaderLabel; }
    void setTotalSeatsHeaderLabel(Ref<UILabel> v) { m_totalSeatsHeaderLabel = std::move(v); }
    const Ref<UILabel>& totalSeatsValueLabel() const { return m_totalSeatsValueLabel; }
    void setTotalSeatsValueLabel(Ref<UILabel> v) { m_totalSeatsValueLabel = std::move(v); }

private:
    Ref<UILabel> m_serviceTypeHeaderLabel;
    Ref<UILabel> m_serviceTypeValueLabel;
    Ref<UILabel> m_totalSeatsHeaderLabel;
    Ref<UILabel> m_totalSeatsValueLabel;
};
