#include "app/view-controllers/list/KESTListViewController.h"

#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridTextField.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridCoord.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LDataGridTextCell.h"
#include "grid/datagrid/LatticeDataGrid.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITextField.h"

#include <algorithm>

VX_REGISTER_CREATABLE_CLASS(KESTListViewController);

namespace {

using Field = KESTListViewController::Field;

struct ColumnSpec {
    const char* title;
    std::optional<float> width;
    bool sortable;
};

// The columns in display order, indexed by Field.
constexpr ColumnSpec kColumns[KESTListViewController::kFieldCount] = {
    { "ADSHEX", 150, true },
    { "Reg", 130, true },
    { "Callsign", std::nullopt, true },
    { "Lat", 110, false },
    { "Lon", 110, false },
    { "Altitude", 140, true },
    { "Heading", 150, false },
    { "Speed", 130, false },
    { "Type", 120, false },
    { "Route", 210, false },
    { "Squawk", std::nullopt, true },
    { "Flight No", std::nullopt, true },
};

std::string localized(const std::string& key)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, "", "");
}

bool isNumericField(Field field)
{
    switch (field) {
    case Field::Lat:
    case Field::Lon:
    case Field::Altitude:
    case Field::Heading:
    case Field::Speed:
        return true;
    default:
        return false;
    }
}

double numberOf(const Ref<KESTPlane>& plane, Field field)
{
    switch (field) {
    case Field::Lat:
        return plane->lat();
    case Field::Lon:
        return plane->lon();
    case Field::Altitude:
        return plane->altitude();
    case Field::Heading:
        return plane->heading();
    case Field::Speed:
        return plane->speed();
    default:
        return 0;
    }
}

std::string textOf(const Ref<KESTPlane>& plane, Field field)
{
    switch (field) {
    case Field::Adshex:
        return plane->adshex();
    case Field::Reg:
        return plane->reg();
    case Field::Callsign:
        return plane->callsign();
    case Field::Type:
        return plane->type();
    case Field::Route:
        return plane->route();
    case Field::Squawk:
        return plane->squawk();
    case Field::Fltno:
        return plane->fltno();
    default:
        return {};
    }
}

// Sorts by keys read once per plane, so each comparison is a plain comparison of values.
template <typename Key>
std::vector<Ref<KESTPlane>> sortByKeys(const std::vector<Ref<KESTPlane>>& planes, std::vector<Key> keys, bool ascending)
{
    std::vector<uint32_t> order(planes.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (ascending)
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    else
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[b] < keys[a]; });
    std::vector<Ref<KESTPlane>> sorted;
    sorted.reserve(planes.size());
    for (uint32_t index : order)
        sorted.push_back(planes[index]);
    return sorted;
}

bool within(double value, double low, double high)
{
    return value >= low && value <= high;
}

} // namespace

Ref<KESTListViewController> KESTListViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    auto controller = makeController<KESTListViewController>(nibName, bundle);
    controller->setTitle(localized("Plane List"));
    controller->m_boundsArray = KESTMapController::sharedInstance()->currentMapBounds(0);
    for (size_t i = 0; i < kFieldCount; ++i)
        controller->m_localizedTitles[i] = localized(kColumns[i].title);
    return controller;
}

void KESTListViewController::viewDidLoad()
{
    KESTBaseCustomViewController::viewDidLoad();
    loadGlobalData();

    m_gridView = LatticeDataGrid::initWithFrame(view()->bounds());
    m_gridView->setDataSource(self<KESTListViewController>());
    m_gridView->setDelegate(self<KESTListViewController>());

    if (auto header = m_gridView->defaultCellStyleForHeaderRow()) {
        header->setBackgroundColor(UIColor::darkGrayColor());
        header->setTextColor(UIColor::whiteColor());
        header->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleHeadline));
        header->setTextAlignment(NSTextAlignmentLeft);
    }
    if (auto rows = m_gridView->defaultCellStyleForRows()) {
        rows->setTextAlignment(NSTextAlignmentLeft);
        rows->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleBody));
        rows->setTextColor(UIColor::darkGrayColor());
    }
    m_sortedGridContent = m_gridContent;

    m_gridView->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleWidth
        | UIViewAutoresizingFlexibleRightMargin | UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleHeight
        | UIViewAutoresizingFlexibleBottomMargin);
    setEdgesForExtendedLayout(UIRectEdgeNone);

    auto navigation = navigationController();
    if (!navigation || navigation->viewControllers().size() < 2) {
        Weak<KESTListViewController> weak = self<KESTListViewController>();
        navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithTitleStyleTargetAction(
            localized("Close"), UIBarButtonItemStylePlain, self<NSObject>(), [weak](const Ref<UIBarButtonItem>& item) {
                if (auto screen = weak.lock())
                    screen->closePress(item);
            }));
    }
    view()->addSubview(m_gridView);
    populateColumns();
}

void KESTListViewController::viewWillAppear(bool animated)
{
    KESTBaseCustomViewController::viewWillAppear(animated);
    if (m_gridView)
        m_gridView->setFrame(view()->bounds());
    Weak<KESTListViewController> weak = self<KESTListViewController>();
    m_filterButton = UIBarButtonItem::initWithTitleStyleTargetAction(
        localized("Nearby"), UIBarButtonItemStyleBordered, self<NSObject>(), [weak](const Ref<UIBarButtonItem>& item) {
            if (auto screen = weak.lock())
                screen->toggleLocalArea(item);
        });
    // The button names the mode a tap switches to, also when the screen comes back in Nearby.
    updateFilterButtonTitle();
    navigationItem()->setRightBarButtonItem(m_filterButton);
}

void KESTListViewController::toggleLocalArea(const Ref<NSObject>&)
{
    if (m_localFilter)
        loadGlobalData();
    else
        loadNearbyData();
}

std::vector<Ref<KESTPlane>> KESTListViewController::sortedByRegistration(std::vector<Ref<KESTPlane>> planes)
{
    return planesSortedByField(planes, Field::Reg, true);
}

void KESTListViewController::loadGlobalData()
{
    showContent(sortedByRegistration(KESTLiveDataManager::sharedInstance()->planeArray()), false);
}

void KESTListViewController::loadNearbyData()
{
    std::vector<Ref<KESTPlane>> nearby;
    for (const auto& plane : KESTLiveDataManager::sharedInstance()->planeArray()) {
        if (planeIsInsideBounds(plane, m_boundsArray))
            nearby.push_back(plane);
    }
    showContent(sortedByRegistration(std::move(nearby)), true);
}

void KESTListViewController::showContent(std::vector<Ref<KESTPlane>> planes, bool local)
{
    m_gridContent = std::move(planes);
    m_sortedGridContent = m_gridContent;
    if (m_gridView)
        m_gridView->reload();
    m_localFilter = local;
    updateFilterButtonTitle();
}

void KESTListViewController::updateFilterButtonTitle()
{
    if (m_filterButton)
        m_filterButton->setTitle(localized(m_localFilter ? "Global" : "Nearby"));
}

bool KESTListViewController::planeIsInsideBounds(const Ref<KESTPlane>& plane, const KESTMapBounds& bounds)
{
    if (!plane || !within(plane->lat(), bounds.south, bounds.north))
        return false;
    double lon = plane->lon();
    return within(lon, bounds.west, bounds.east) || within(lon + 360, bounds.west, bounds.east)
        || within(lon - 360, bounds.west, bounds.east);
}

void KESTListViewController::populateColumns()
{
    if (!m_gridView)
        return;
    for (size_t i = 0; i < kFieldCount; ++i) {
        auto column = LDataGridColumn::columnWithTitle(m_localizedTitles[i]);
        if (kColumns[i].width)
            column->setWidth(kColumns[i].width);
        if (kColumns[i].sortable)
            column->setSortMode(LDataGridColumnSortModeCycle);
        column->setCanReorderViaLongPress(true);
        m_gridView->addColumn(column);
    }
}

std::optional<Field> KESTListViewController::fieldForTitle(const std::string& title) const
{
    for (size_t i = 0; i < kFieldCount; ++i) {
        if (m_localizedTitles[i] == title)
            return static_cast<Field>(i);
    }
    return std::nullopt;
}

std::string KESTListViewController::textForField(const Ref<KESTPlane>& plane, Field field)
{
    if (!plane)
        return {};
    switch (field) {
    case Field::Lat:
        return NSString::stringWithFormat("%0.3f", plane->lat());
    case Field::Lon:
        return NSString::stringWithFormat("%0.3f", plane->lon());
    case Field::Altitude:
        // A unit setting the formatter does not know shows an empty cell.
        return KESTFlightDataManager::sharedInstance()->formattedAltitudeWithFeet(plane->altitude()).value_or("");
    case Field::Heading:
        return NSString::stringWithFormat("%.0f", plane->heading());
    case Field::Speed:
        return KESTFlightDataManager::sharedInstance()->formattedSpeedWithKnots(plane->speed()).value_or("");
    default:
        return textOf(plane, field);
    }
}

std::vector<Ref<KESTPlane>> KESTListViewController::planesSortedByField(
    const std::vector<Ref<KESTPlane>>& planes, Field field, bool ascending)
{
    if (isNumericField(field)) {
        std::vector<double> keys;
        keys.reserve(planes.size());
        for (const auto& plane : planes)
            keys.push_back(numberOf(plane, field));
        return sortByKeys(planes, std::move(keys), ascending);
    }
    std::vector<std::string> keys;
    keys.reserve(planes.size());
    for (const auto& plane : planes)
        keys.push_back(textOf(plane, field));
    return sortByKeys(planes, std::move(keys), ascending);
}

bool KESTListViewController::respondsToSelector(std::string_view selector) const
{
    return selector == "latticeDataGrid:didSelectRow:"
        || selector == "latticeDataGrid:didChangeSortOrderForColumn:from:";
}

uint32_t KESTListViewController::latticeDataGridNumberOfRowsInSection(const Ref<LatticeDataGrid>&, int32_t)
{
    return static_cast<uint32_t>(m_sortedGridContent.size());
}

void KESTListViewController::latticeDataGridPrepareCellForDisplay(
    const Ref<LatticeDataGrid>&, const Ref<LDataGridCell>& cell)
{
    auto text = std::dynamic_pointer_cast<LDataGridTextCell>(cell);
    auto coord = cell ? cell->coordinate() : nullptr;
    if (!text || !coord || !coord->column())
        return;
    int32_t index = coord->rowIndex();
    if (index < 0 || static_cast<size_t>(index) >= m_sortedGridContent.size())
        return;
    auto field = fieldForTitle(coord->column()->title().value_or(""));
    if (!field)
        return;
    if (auto textField = text->textField())
        textField->setText(textForField(m_sortedGridContent[static_cast<size_t>(index)], *field));
}

void KESTListViewController::latticeDataGridDidSelectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>& row)
{
    if (!row || row->rowIndex() < 0 || static_cast<size_t>(row->rowIndex()) >= m_sortedGridContent.size())
        return;
    auto plane = m_sortedGridContent[static_cast<size_t>(row->rowIndex())];
    if (auto map = KESTMapController::sharedInstance()->mapViewController())
        map->selectAnnotationMakeVisible(plane, true);
    if (auto navigation = navigationController())
        navigation->dismissViewControllerAnimatedCompletion(true, nullptr);
    else
        dismissViewControllerAnimatedCompletion(true, nullptr);
}

void KESTListViewController::latticeDataGridDidChangeSortOrderForColumnFrom(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, int32_t)
{
    if (!column)
        return;
    int32_t order = column->sortOrder();
    if (order == LDataGridColumnSortOrderNone) {
        m_sortedGridContent = m_gridContent;
    } else if (auto field = fieldForTitle(column->title().value_or(""));
               field && kColumns[static_cast<size_t>(*field)].sortable) {
        m_sortedGridContent = planesSortedByField(m_gridContent, *field, order == LDataGridColumnSortOrderAscending);
    }
    if (grid)
        grid->reload();
}
