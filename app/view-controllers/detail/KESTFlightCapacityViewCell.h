#pragma once

#include "uikit/UITableViewCell.h"

#include <vector>

class UILabel;

// A schedule row: freight capacity and freight class. Built from the layout "KESTFlightCapacityViewCell"; main thread
// only.
class KESTFlightCapacityViewCell : public UITableViewCell {
    VX_OBJECT(KESTFlightCapacityViewCell, UITableViewCell)
public:
    explicit KESTFlightCapacityViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFlightCapacityViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFlightCapacityViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<UILabel>& freightCapacityHeaderLabel() const { return m_freightCapacityHeaderLabel; }
    void setFreightCapacityHeaderLabel(Ref<UILabel> v) { m_freightCapacityHeaderLabel = std::move(v); }
    const Ref<UILabel>& freightCapacityValueLabel() const { return m_freightCapacityValueLabel; }
    void setFreightCapacityValueLabel(Ref<UILabel> v) { m_freightCapacityValueLabel = std::move(v); }
    const Ref<UILabel>& freightClassesHeaderLabel() const { return m_freightClassesHeaderLabel; }
    void setFreightClassesHeaderLabel(Ref<UILabel> v) { m_freightClassesHeaderLabel = std::move(v); }
    const Ref<UILabel>& freightClassesValueLabel() const { return m_freightClassesValueLabel; }
    void setFreightClassesValueLabel(Ref<UILabel> v) { m_freightClassesValueLabel = std::move(v); }

private:
    Ref<UILabel> m_freightCapacityHeaderLabel;
    Ref<UILabel> m_freightCapacityValueLabel;
    Ref<UILabel> m_freightClassesHeaderLabel;
    Ref<UILabel> m_freightClassesValueLabel;
};
