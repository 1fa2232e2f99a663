#pragma once

#include "app/widgets/KESTCheckCellSubtitle.h"

// A chart row: the check cell with its check box at the top-left (6, 0, 44, 44) of the content
// view instead of lower down. Built from the layout "KESTCheckCell". Main thread only.
class KESTCheckCell : public KESTCheckCellSubtitle {
    VX_OBJECT(KESTCheckCell, KESTCheckCellSubtitle)
public:
    explicit KESTCheckCell(Passkey key)
        : KESTCheckCellSubtitle(key)
    {
    }
    static Ref<KESTCheckCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTCheckCell>(style, reuseIdentifier);
    }

    void awakeFromNib() override;
};
