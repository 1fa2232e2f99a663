#pragma once

#include "uikit/UITableViewCell.h"

// The flight tab's map row: a plain cell into whose content view the tab puts its map once.
// Main thread only.
class KESTFlightMapViewCell : public UITableViewCell {
    VX_OBJECT(KESTFlightMapViewCell, UITableViewCell)
public:
    explicit KESTFlightMapViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFlightMapViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFlightMapViewCell>(style, reuseIdentifier);
    }
};
