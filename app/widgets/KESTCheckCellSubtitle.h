#pragma once

#include "uikit/UITableViewCell.h"

class KESTToggleButton;
class UILabel;

// A table row with a title, a subtitle and a check box at its left. Built from the layout
// "KESTCheckCellSubtitle" (which supplies the two labels); on loading from it the cell adds the
// check box to its content view. Main thread only.
class KESTCheckCellSubtitle : public UITableViewCell {
    VX_OBJECT(KESTCheckCellSubtitle, UITableViewCell)
public:
    explicit KESTCheckCellSubtitle(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTCheckCellSubtitle> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTCheckCellSubtitle>(style, reuseIdentifier);
    }

    // Called by the layout once its objects are made: adds the check box at (6, 11, 44, 44)
    // with a clear background to the content view.
    virtual void awakeFromNib();

    const Ref<UILabel>& titleLabel() const { return m_titleLabel; }
    void setTitleLabel(Ref<UILabel> label) { m_titleLabel = std::move(label); }
    const Ref<UILabel>& subtitleLabel() const { return m_subtitleLabel; }
    void setSubtitleLabel(Ref<UILabel> label) { m_subtitleLabel = std::move(label); }
    const Ref<KESTToggleButton>& toggleButton() const { return m_toggleButton; }
    void setToggleButton(Ref<KESTToggleButton> button) { m_toggleButton = std::move(button); }

    void setSelectedAnimated(bool selected, bool animated) override;

private:
    Ref<UILabel> m_titleLabel;
    Ref<UILabel> m_subtitleLabel;
    Ref<KESTToggleButton> m_toggleButton;
};
