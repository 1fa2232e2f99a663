#pragma once

#include "foundation/NSObject.h"
#include "grid/datagrid/LDataGridColumnSortOrder.h"

#include <optional>
#include <string>

class LDataGridCellStyle;
class LDataGridHeaderCellProtocol;
class LatticeDataGrid;

// One column of a data grid: its title, body and header cell classes, styles, sizes, flags,
// place in the display order and sort state. A column lives on its own until a data grid's
// addColumn makes that grid its owner (held weakly; the grid holds the column in its list).
// Sort order changes of an owned column reset its siblings, tell the grid's delegate before and
// after, and update the header arrow. Main thread only.
class LDataGridColumn : public NSObject {
    VX_OBJECT(LDataGridColumn, NSObject)
public:
    static constexpr int32_t kDisplayIndexNotSet = 2147483647;

    explicit LDataGridColumn(Passkey key)
        : NSObject(key)
    {
    }
    ~LDataGridColumn() override;

    static Ref<LDataGridColumn> init();
    static Ref<LDataGridColumn> initWithTitle(std::optional<std::string> title);
    // A null class takes the default (LDataGridTextCell, LDataGridHeaderCell).
    static Ref<LDataGridColumn> initWithTitleCellType(std::optional<std::string> title, Class cellType);
    static Ref<LDataGridColumn> initWithTitleForProperty(
        std::optional<std::string> title, std::optional<std::string> propertyKey);
    static Ref<LDataGridColumn> initWithTitleForPropertyCellTypeHeaderCellType(
        std::optional<std::string> title, std::optional<std::string> propertyKey, Class cellType, Class headerCellType);
    static Ref<LDataGridColumn> columnWithTitle(std::optional<std::string> title)
    {
        return initWithTitle(std::move(title));
    }
    static Ref<LDataGridColumn> columnWithTitleCellType(std::optional<std::string> title, Class cellType)
    {
        return initWithTitleCellType(std::move(title), cellType);
    }
    static Ref<LDataGridColumn> columnWithTitleForProperty(
        std::optional<std::string> title, std::optional<std::string> propertyKey)
    {
        return initWithTitleForProperty(std::move(title), std::move(propertyKey));
    }
    static Ref<LDataGridColumn> columnWithTitleForPropertyCellTypeHeaderCellType(
        std::optional<std::string> title, std::optional<std::string> propertyKey, Class cellType, Class headerCellType)
    {
        return initWithTitleForPropertyCellTypeHeaderCellType(
            std::move(title), std::move(propertyKey), cellType, headerCellType);
    }
    static Ref<LDataGridColumn> columnWithTitleDisplayIndex(std::optional<std::string> title, uint32_t displayIndex);

    Ref<LatticeDataGrid> owningGrid() const { return m_owningGrid.lock(); }
    void setOwningGrid(const Ref<LatticeDataGrid>& grid) { m_owningGrid = grid; }
    bool editable() const { return m_editable; }
    void setEditable(bool v) { m_editable = v; }
    bool canResizeViaPinch() const { return m_canResizeViaPinch; }
    void setCanResizeViaPinch(bool v) { m_canResizeViaPinch = v; }
    bool canReorderViaLongPress() const { return m_canReorderViaLongPress; }
    void setCanReorderViaLongPress(bool v) { m_canReorderViaLongPress = v; }
    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title) { m_title = std::move(title); }
    const Ref<LDataGridCellStyle>& cellStyle() const { return m_cellStyle; }
    void setCellStyle(const Ref<LDataGridCellStyle>& style) { m_cellStyle = style; }
    Class cellType() const { return m_cellType; }
    // Must be LDataGridCell or a class that inherits from it, else a fatal grid error.
    void setCellType(Class cellType);
    Class headerCellType() const { return m_headerCellType; }
    // Must adopt the header cell protocol, else a fatal grid error.
    void setHeaderCellType(Class headerCellType);
    int32_t sortOrder() const { return m_sortOrder; }
    int32_t sortMode() const { return m_sortMode; }
    // Stores the mode only; neither the order nor the arrow changes.
    void setSortMode(int32_t mode) { m_sortMode = mode; }
    const std::optional<float>& width() const { return m_width; }
    void setWidth(std::optional<float> width) { m_width = width; }
    const std::optional<float>& minimumWidth() const { return m_minimumWidth; }
    void setMinimumWidth(std::optional<float> width) { m_minimumWidth = width; }
    const Ref<LDataGridCellStyle>& headerCellStyle() const { return m_headerCellStyle; }
    void setHeaderCellStyle(const Ref<LDataGridCellStyle>& style) { m_headerCellStyle = style; }
    int32_t tag() const { return m_tag; }
    void setTag(int32_t tag) { m_tag = tag; }
    const std::optional<std::string>& propertyKey() const { return m_propertyKey; }
    void setPropertyKey(std::optional<std::string> key) { m_propertyKey = std::move(key); }
    int32_t displayIndex() const { return m_displayIndex; }
    void setDisplayIndex(int32_t index) { m_displayIndex = index; }

    // True when q is p or inherits from it.
    static bool isTypeSubclassOf(Class p, Class q);
    bool hasCellType(Class cls) const { return isTypeSubclassOf(cls, m_cellType); }
    bool hasHeaderCellType(Class cls) const { return isTypeSubclassOf(cls, m_headerCellType); }

    // The header cell of this column on screen (the owning grid's, at the display index), or
    // nullptr.
    Ref<LDataGridHeaderCellProtocol> headerCell() const;

    // "LDataGridColumnSortOrderNone", "...Ascending", "...Descending"; nullopt for other values.
    std::optional<std::string> sortOrderToString() const;
    int32_t nextSortOrderAccordingToSortMode() const;
    void setSortOrder(int32_t order) { setSortOrderAndResetSiblings(order, true); }
    void setSortOrderAndResetSiblings(int32_t order, bool resetSiblings);
    void resetSortOrderForSiblingColumns();

    // -1, 0 or 1 by display index.
    int32_t compare(const Ref<LDataGridColumn>& other) const;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    std::string description() const override;

private:
    void commonInitWithCellTypeHeaderCellType(Class cellType, Class headerCellType);

    Weak<LatticeDataGrid> m_owningGrid;
    bool m_editable { false };
    bool m_canResizeViaPinch { false };
    bool m_canReorderViaLongPress { false };
    std::optional<std::string> m_title;
    Ref<LDataGridCellStyle> m_cellStyle;
    Class m_cellType { nullptr };
    Class m_headerCellType { nullptr };
    int32_t m_sortOrder { LDataGridColumnSortOrderNone };
    int32_t m_sortMode { LDataGridColumnSortModeNone };
    std::optional<float> m_width;
    std::optional<float> m_minimumWidth;
    Ref<LDataGridCellStyle> m_headerCellStyle;
    int32_t m_tag { 0 };
    std::optional<std::string> m_propertyKey;
    int32_t m_displayIndex { kDisplayIndexNotSet };
};
