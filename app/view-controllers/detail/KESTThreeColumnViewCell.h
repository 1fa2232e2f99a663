#pragma once

#include "uikit/UITableViewCell.h"

#include <vector>

class UILabel;

// A detail row of three header and value columns. Built from the layout "KESTThreeColumnViewCell"; main thread only.
class KESTThreeColumnViewCell : public UITableViewCell {
    VX_OBJECT(KESTThreeColumnViewCell, UITableViewCell)
public:
    explicit KESTThreeColumnViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTThreeColumnViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTThreeColumnViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<UILabel>& col1HeaderLabel() const { return m_col1HeaderLabel; }
    void setCol1HeaderLabel(Ref<UILabel> v) { m_col1HeaderLabel = std::move(v); }
    const Ref<UILabel>& col1ValueLabel() const { return m_col1ValueLabel; }
    void setCol1ValueLabel(Ref<UILabel> v) { m_col1ValueLabel = std::move(v); }
    const Ref<UILabel>& col2HeaderLabel() const { return m_col2HeaderLabel; }
    void setCol2HeaderLabel(Ref<UILabel> v) { m_col2HeaderLabel = std::move(v); }
    const Ref<UILabel>& col2ValueLabel() const { return m_col2ValueLabel; }
    void setCol2ValueLabel(Ref<UILabel> v) { m_col2ValueLabel = std::move(v); }
    const Ref<UILabel>& col3HeaderLabel() const { return m_col3HeaderLabel; }
    void setCol3HeaderLabel(Ref<UILabel> v) { m_col3HeaderLabel = std::move(v); }
    const Ref<UILabel>& col3ValueLabel() const { return m_col3ValueLabel; }
    void setCol3ValueLabel(Ref<UILabel> v) { m_col3ValueLabel = std::move(v); }

private:
    Ref<UILabel> m_col1HeaderLabel;
    Ref<UILabel> m_col1ValueLabel;
    Ref<UILabel> m_col2HeaderLabel;
    Ref<UILabel> m_col2ValueLabel;
    Ref<UILabel> m_col3HeaderLabel;
    Ref<UILabel> m_col3ValueLabel;
};
