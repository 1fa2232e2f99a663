#pragma once

#include "graphics/UIGeometry.h"
#include "grid/datagrid/LDataGridCell.h"

#include <optional>

class LGridTextInputCell;

// Base of the data grid's text cells: its internal cell starts with 22-point insets left and
// right. Here `text` answers nothing and `setText` does nothing; the subclasses give them
// meaning. Main thread only.
class LDataGridTextInputCell : public LDataGridCell {
    VX_OBJECT(LDataGridTextInputCell, LDataGridCell)
public:
    explicit LDataGridTextInputCell(Passkey key)
        : LDataGridCell(key)
    {
    }
    static Ref<LDataGridTextInputCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    virtual std::optional<std::string> text() const { return std::nullopt; }
    virtual void setText(const std::string&) { }

    // The internal cell as the engine's text cell (nullptr for a plain internal cell).
    Ref<LGridTextInputCell> textInternalCell() const;
    UIEdgeInsets contentInset() const;
    void setContentInset(UIEdgeInsets inset);

protected:
    void initialiseTextInputCell(const std::string& reuseIdentifier);
    template <typename T> static Ref<T> makeTextInputCell(const std::string& reuseIdentifier)
    {
        auto cell = makeView<T>(CGRectZero);
        cell->initialiseTextInputCell(reuseIdentifier);
        return cell;
    }
};
