#pragma once

#include "uikit/UITableViewCell.h"

// Base of the cells built from interface layouts, with the loader that finds such a cell among
// a layout's top-level objects. Main thread only.
class KESTTableViewCell : public UITableViewCell {
    VX_OBJECT(KESTTableViewCell, UITableViewCell)
public:
    explicit KESTTableViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTTableViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTTableViewCell>(style, reuseIdentifier);
    }

    // Loads the layout of that name from the main bundle and answers its first top-level object
    // that is a KESTTableViewCell (of any subclass); nullptr when there is none. A missing layout
    // raises "NSInternalInconsistencyException", as any layout load does.
    static Ref<KESTTableViewCell> cellFromNibNamed(const std::string& nibName);
};
