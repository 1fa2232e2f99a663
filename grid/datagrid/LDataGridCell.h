#pragma once

#include "grid/LGridCell.h"

#include <functional>
#include <string>

class LDataGridCellStyle;
class LDataGridCoord;

// A cell of the data grid: a view that owns one engine cell, its internal cell, and stands for
// it in the engine. The engine lays out, selects, moves and recycles the data-grid cell; the
// data-grid cell passes content, looks and geometry on to the internal cell, lays the theme's
// row style under every style the engine applies, and carries the data-grid coordinate its data
// source reads. Content added with addSubview lives inside the internal cell.
//
// Cell classes are named by their Class; each registers a factory (registerCellClass) so the
// data grid can make cells of a column's class with a reuse identifier. Main thread only.
class LDataGridCell : public LGridCell {
    VX_OBJECT(LDataGridCell, LGridCell)
public:
    using Factory = std::function<Ref<LDataGridCell>(const std::string& reuseIdentifier)>;

    explicit LDataGridCell(Passkey key)
        : LGridCell(key)
    {
    }
    ~LDataGridCell() override;
    static Ref<LDataGridCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    // Cell classes. A class registers a factory and whether it adopts the header cell protocol;
    // classes without a factory of their own are made by their nearest registered superclass's.
    static void registerCellClass(Class cls, Factory factory, bool adoptsHeaderCellProtocol);
    // nullptr for a class that no registered class is an ancestor of.
    static Ref<LDataGridCell> makeCellOfClass(Class cls, const std::string& reuseIdentifier);
    // True when the class, or a superclass, registered as adopting the header cell protocol.
    static bool classAdoptsHeaderCellProtocol(Class cls);

    const Ref<LGridCell>& internalCell() const { return m_internalCell; }
    // Set by the data grid before the cell is shown; header cells answer nullptr (see there).
    virtual Ref<LDataGridCoord> coordinate() const { return m_dataCoord; }
    void setCoordinate(const Ref<LDataGridCoord>& coordinate);
    // Whether a tap on this cell may wait for a second tap.
    virtual bool respondsToDoubleTap() const { return true; }

    // Looks: a fresh style with the theme's row style under the given one, applied to the
    // internal cell (which lets the grid's delegate alter it).
    void applyStyle(const Ref<LGridCellStyle>& style) override;
    void recordDeselectedStyle() override;
    void resetForReuse() override;
    // An edit event (a double tap with the grid's edit mask) begins editing in the internal
    // cell, which for the text cells is the engine text cell holding the field.
    void respondToEditEvent() override;
    // Selection with the theme's selected-cell style under the engine's selected styles.
    void setSelectedAnimatedNeedsDelegateCallBacksFor(bool selected, bool animated, int32_t level);

    // Geometry: the internal cell fills the data-grid cell.
    void setFrame(CGRect frame) override;
    void setBounds(CGRect bounds) override;

    // Passed on to the internal cell.
    void setBackgroundColor(const Ref<UIColor>& color) override;
    Ref<UIColor> backgroundColor() const;
    void addSubview(const Ref<UIView>& view);
    const std::vector<Ref<UIView>>& subviews() const;
    bool fitSubviewsToView() const;
    void setFitSubviewsToView(bool fit);
    bool resignFirstResponder() override;

    // "<class>: <address>; frame = <frame>; coordinate = <coordinate>".
    std::string description() const override;

protected:
    // Makes the internal cell and adds it; subclasses call it from their factories.
    void initialiseDataGridCell(const std::string& reuseIdentifier);
    // The engine cell this class wraps: a plain engine cell here.
    virtual Ref<LGridCell> makeInternalCell(const std::string& reuseIdentifier) const;
    template <typename T> static Ref<T> makeDataGridCell(const std::string& reuseIdentifier)
    {
        auto cell = makeView<T>(CGRectZero);
        cell->initialiseDataGridCell(reuseIdentifier);
        return cell;
    }

private:
    // The internal cell takes the engine's grid and coordinate of this cell, so style
    // callbacks reach the grid's delegate with this cell's coordinate.
    void shareEngineStateWithInternalCell();

    Ref<LGridCell> m_internalCell;
    Ref<LDataGridCoord> m_dataCoord;
};
