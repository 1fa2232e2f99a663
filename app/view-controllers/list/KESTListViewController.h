#pragma once

#include "app/core/KESTMapBounds.h"
#include "app/view-controllers/common/KESTBaseCustomViewController.h"
#include "grid/datagrid/LDataGridDataSource.h"
#include "grid/datagrid/LDataGridDelegate.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class KESTPlane;
class LatticeDataGrid;
class UIBarButtonItem;

// The aircraft list: the live planes (all of them, or those inside the map region visible when
// the screen was made) in a sortable data grid of twelve columns. A header tap sorts by that
// column where it allows it; a row tap selects the plane on the map and closes the list. The
// list is a snapshot: it reads the live planes when it loads a mode. The screen is its grid's
// data source and delegate. Main thread only.
class KESTListViewController : public KESTBaseCustomViewController,
                               public LDataGridDataSource,
                               public LDataGridDelegate {
    VX_OBJECT(KESTListViewController, KESTBaseCustomViewController)
public:
    // The twelve columns, in display order.
    enum class Field : uint8_t {
        Adshex,
        Reg,
        Callsign,
        Lat,
        Lon,
        Altitude,
        Heading,
        Speed,
        Type,
        Route,
        Squawk,
        Fltno
    };
    static constexpr size_t kFieldCount = 12;

    explicit KESTListViewController(Passkey key)
        : KESTBaseCustomViewController(key)
    {
    }
    static Ref<KESTListViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);
    static Ref<KESTListViewController> init() { return initWithNibNameBundle({}, nullptr); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void toggleLocalArea(const Ref<NSObject>& sender);
    void loadGlobalData();
    void loadNearbyData();
    void populateColumns();

    const Ref<LatticeDataGrid>& gridView() const { return m_gridView; }
    bool localFilter() const { return m_localFilter; }
    const KESTMapBounds& boundsArray() const { return m_boundsArray; }
    const Ref<UIBarButtonItem>& filterButton() const { return m_filterButton; }
    const std::vector<Ref<KESTPlane>>& gridContent() const { return m_gridContent; }
    void setGridContent(std::vector<Ref<KESTPlane>> planes) { m_gridContent = std::move(planes); }
    const std::vector<Ref<KESTPlane>>& sortedGridContent() const { return m_sortedGridContent; }

    // The column shown under a title (compared with the localized column titles); nullopt for
    // any other title.
    std::optional<Field> fieldForTitle(const std::string& title) const;
    // The text a cell of that column shows for the plane.
    static std::string textForField(const Ref<KESTPlane>& plane, Field field);
    // The planes ordered by one column's values (texts in code point order, numbers by value),
    // ascending or descending; planes with equal values keep their order.
    static std::vector<Ref<KESTPlane>> planesSortedByField(
        const std::vector<Ref<KESTPlane>>& planes, Field field, bool ascending);
    // Whether the plane lies inside the bounds, edges included; bounds beyond +-180 degrees of
    // longitude also take the planes on the far side of the antimeridian.
    static bool planeIsInsideBounds(const Ref<KESTPlane>& plane, const KESTMapBounds& bounds);

    // The data grid's data source and delegate.
    bool respondsToSelector(std::string_view selector) const override;
    uint32_t latticeDataGridNumberOfRowsInSection(const Ref<LatticeDataGrid>& grid, int32_t section) override;
    void latticeDataGridPrepareCellForDisplay(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCell>& cell) override;
    void latticeDataGridDidSelectRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    void latticeDataGridDidChangeSortOrderForColumnFrom(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, int32_t previous) override;

private:
    static std::vector<Ref<KESTPlane>> sortedByRegistration(std::vector<Ref<KESTPlane>> planes);
    void showContent(std::vector<Ref<KESTPlane>> planes, bool local);
    void updateFilterButtonTitle();

    Ref<LatticeDataGrid> m_gridView;
    bool m_localFilter { false };
    KESTMapBounds m_boundsArray;
    Ref<UIBarButtonItem> m_filterButton;
    std::vector<Ref<KESTPlane>> m_gridContent;
    std::vector<Ref<KESTPlane>> m_sortedGridContent;
    std::array<std::string, kFieldCount> m_localizedTitles;
};
