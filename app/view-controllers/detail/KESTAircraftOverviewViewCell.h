#pragma once

#include "app/view-controllers/common/KESTTableViewCell.h"

#include <vector>

class UIButton;
class UIImageView;
class UILabel;

// The aircraft tab's type row: the manufacturer logo, type name, engines and age, and the
// button to the aircraft's past flights. Built from the layout "KESTAircraftOverviewViewCell"; main thread only.
class KESTAircraftOverviewViewCell : public KESTTableViewCell {
    VX_OBJECT(KESTAircraftOverviewViewCell, KESTTableViewCell)
public:
    explicit KESTAircraftOverviewViewCell(Passkey key)
        : KESTTableViewCell(key)
    {
    }
    static Ref<KESTAircraftOverviewViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTAircraftOverviewViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<UIImageView>& airlineImageView() const { return m_airlineImageView; }
    void setAirlineImageView(Ref<UIImageView> v) { m_airlineImageView = std::move(v); }
    const Ref<UIButton>& historyButton() const { return m_historyButton; }
    void setHistoryButton(Ref<UIButton> v) { m_historyButton = std::move(v); }
    const Ref<UILabel>& aircraftNameLabel() const { return m_aircraftNameLabel; }
    void setAircraftNameLabel(Ref<UILabel> v) { m_aircraftNameLabel = std::move(v); }
    const Ref<UILabel>& aircraftDetailsLabel() const { return m_aircraftDetailsLabel; }
    void setAircraftDetailsLabel(Ref<UILabel> v) { m_aircraftDetailsLabel = std::move(v); }

private:
    Ref<UIImageView> m_airlineImageView;
    Ref<UIButton> m_historyButton;
    Ref<UILabel> m_aircraftNameLabel;
    Ref<UILabel> m_aircraftDetailsLabel;
};
