#pragma once

#include "uikit/UITableViewCell.h"

class KESTToggleButton;
class UILabel;

// A bookmark row: name and centre labels (from the layout "KESTBookmarksCheckCell") and a house
// check box at (8, 8, 44, 44) that marks the home bookmark. Main thread only.
class KESTBookmarksCheckCell : public UITableViewCell {
    VX_OBJECT(KESTBookmarksCheckCell, UITableViewCell)
public:
    explicit KESTBookmarksCheckCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTBookmarksCheckCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTBookmarksCheckCell>(style, reuseIdentifier);
    }

    // Called by the layout once its labels are set: makes the check box.
    void awakeFromNib();

    const Ref<UILabel>& bookmarkNameLabel() const { return m_bookmarkNameLabel; }
    void setBookmarkNameLabel(Ref<UILabel> label) { m_bookmarkNameLabel = std::move(label); }
    const Ref<UILabel>& bookmarkLocationLabel() const { return m_bookmarkLocationLabel; }
    void setBookmarkLocationLabel(Ref<UILabel> label) { m_bookmarkLocationLabel = std::move(label); }
    const Ref<KESTToggleButton>& toggleButton() const { return m_toggleButton; }
    void setToggleButton(Ref<KESTToggleButton> button) { m_toggleButton = std::move(button); }

private:
    Ref<UILabel> m_bookmarkNameLabel;
    Ref<UILabel> m_bookmarkLocationLabel;
    Ref<KESTToggleButton> m_toggleButton;
};
