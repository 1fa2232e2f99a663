#pragma once

#include "uikit/UITableViewCell.h"

#include <vector>

class UILabel;

// A detail row of one header over one value of any number of lines. Built from the layout "KESTSingleColumnViewCell";
// main thread only.
class KESTSingleColumnViewCell : public UITableViewCell {
    VX_OBJECT(KESTSingleColumnViewCell, UITableViewCell)
public:
    explicit KESTSingleColumnViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTSingleColumnViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTSingleColumnViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<UILabel>& headerLabel() const { return m_headerLabel; }
    void setHeaderLabel(Ref<UILabel> v) { m_headerLabel = std::move(v); }
    const Ref<UILabel>& valueLabel() const { return m_valueLabel; }
    void setValueLabel(Ref<UILabel> v) { m_valueLabel = std::move(v); }

private:
    Ref<UILabel> m_headerLabel;
    Ref<UILabel> m_valueLabel;
};
