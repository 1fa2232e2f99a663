#pragma once

#include "uikit/UITableViewCell.h"

// The heading row of a condition section in the filter editor: the section's name in the body
// text style, with the add button as its accessory. Main thread only.
class KESTFilterHeadingCell : public UITableViewCell {
    VX_OBJECT(KESTFilterHeadingCell, UITableViewCell)
public:
    explicit KESTFilterHeadingCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFilterHeadingCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier);
};
