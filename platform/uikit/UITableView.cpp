// UITableView: set-up, registration and reuse of cells, geometry, and the cells on screen.
#include "uikit/UITableView.h"

#include "foundation/NSException.h"
#include "foundation/NSString.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UINib.h"
#include "uikit/UITableViewInternal.h"

#include <algorithm>
#include <set>

VX_REGISTER_CLASS(UITableView);

namespace {
// Grouped sections keep this much space above and below when they have no header or footer.
constexpr CGFloat kGroupedSpacing = 10;
} // namespace

using UITableViewInternal::toIndexPath;

Ref<UITableView> UITableView::initWithFrameStyle(CGRect frame, UITableViewStyle style)
{
    auto table = makeScrollView<UITableView>(frame);
    table->m_style = style;
    table->setAlwaysBounceVertical(true);
    if (style == UITableViewStyleGrouped)
        table->m_sectionHeaderHeight = table->m_sectionFooterHeight = 10;
    return table;
}

void UITableView::setDataSource(UITableViewDataSource* dataSource, Weak<NSObject> owner)
{
    assertIsMainThread();
    m_dataSource = dataSource;
    m_dataSourceOwner = std::move(owner);
    m_needsReload = true;
    setNeedsGeometry();
}

void UITableView::setTableDelegate(UITableViewDelegate* delegate, Weak<NSObject> owner)
{
    assertIsMainThread();
    m_tableDelegate = delegate;
    m_tableDelegateOwner = owner;
    setDelegate(delegate, std::move(owner));
    setNeedsGeometry();
}

void UITableView::setTableHeaderView(const Ref<UIView>& view)
{
    assertIsMainThread();
    if (m_tableHeaderView)
        m_tableHeaderView->removeFromSuperview();
    m_tableHeaderView = view;
    if (view)
        addSubview(view);
    setNeedsGeometry();
}

void UITableView::setTableFooterView(const Ref<UIView>& view)
{
    assertIsMainThread();
    if (m_tableFooterView)
        m_tableFooterView->removeFromSuperview();
    m_tableFooterView = view;
    if (view)
        addSubview(view);
    setNeedsGeometry();
}

// Registration and reuse

void UITableView::registerCellFactory(
    const std::string& identifier, std::function<Ref<UITableViewCell>(const std::string&)> factory)
{
    assertIsMainThread();
    if (factory)
        m_factories[identifier] = std::move(factory);
    else
        m_factories.erase(identifier);
}

void UITableView::registerClassForCellReuseIdentifier(Class cls, const std::string& identifier)
{
    if (!cls) {
        registerCellFactory(identifier, nullptr);
        return;
    }
    registerCellFactory(identifier, [cls](const std::string& id) -> Ref<UITableViewCell> {
        auto cell = std::dynamic_pointer_cast<UITableViewCell>(createObjectOfClass(cls));
        if (!cell)
            NSException::raise(
                NSInvalidArgumentException, "class " + NSStringFromClass(cls) + " does not make table view cells");
        cell->setReuseIdentifier(id);
        return cell;
    });
}

void UITableView::registerNibForCellReuseIdentifier(const Ref<UINib>& nib, const std::string& identifier)
{
    if (!nib) {
        registerCellFactory(identifier, nullptr);
        return;
    }
    registerCellFactory(identifier, [nib](const std::string& id) -> Ref<UITableViewCell> {
        for (const auto& object : nib->instantiateWithOwnerOptions(nullptr, {})) {
            if (auto cell = object.objectAs<UITableViewCell>()) {
                cell->setReuseIdentifier(id);
                return cell;
            }
        }
        NSException::raise(NSInternalInconsistencyException,
            "invalid nib registered for identifier (" + id
                + ") - nib must contain exactly one top level object which must be a UITableViewCell instance");
    });
}

Ref<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(const std::string& identifier)
{
    assertIsMainThread();
    auto pool = m_reusePool.find(identifier);
    if (pool != m_reusePool.end() && !pool->second.empty()) {
        auto cell = pool->second.back();
        pool->second.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    auto factory = m_factories.find(identifier);
    if (factory == m_factories.end())
        return nullptr;
    return factory->second(identifier);
}

Ref<UITableViewCell> UITableView::dequeueReusableCellWithIdentifierForIndexPath(
    const std::string& identifier, const Ref<NSIndexPath>& indexPath)
{
    if (!m_factories.count(identifier))
        NSException::raise(NSInternalInconsistencyException,
            "unable to dequeue a cell with identifier " + identifier
                + " - must register a nib or a class for the identifier");
    auto cell = dequeueReusableCellWithIdentifier(identifier);
    if (indexPath && cell)
        cell->setFrame(CGRectMake(0, 0, bounds().size.width, cell->frame().size.height));
    return cell;
}

void UITableView::enqueueCell(const Ref<UITableViewCell>& cell)
{
    cell->removeFromSuperview();
    if (!cell->reuseIdentifier().empty())
        m_reusePool[cell->reuseIdentifier()].push_back(cell);
}

// Geometry

void UITableView::setNeedsGeometry()
{
    m_needsGeometry = true;
    setNeedsLayout();
}

void UITableView::ensureGeometry()
{
    if (m_needsGeometry || m_needsReload)
        computeGeometry();
}

void UITableView::computeGeometry()
{
    auto self = protectedTable();
    auto* ds = dataSource();
    m_needsGeometry = false;
    if (m_needsReload) {
        m_needsReload = false;
        // Every cell on screen is asked for again.
        auto cells = std::move(m_visibleCells);
        m_visibleCells.clear();
        for (auto& [path, cell] : cells)
            endDisplaying(path, cell);
        removeSectionViews();
        m_rowCounts.clear(); // no rows while the data source is asked
        m_rowCounts = rowCountsFromDataSource(ds);
        UISectionedRows::dropPathsBeyond(m_selection.paths(), m_rowCounts);
        m_indexTitles = dataSource() ? dataSource()->sectionIndexTitlesForTableView(self) : std::vector<std::string>();
    }

    auto* d = tableDelegate();
    CGFloat y = m_tableHeaderView ? m_tableHeaderView->frame().size.height : 0;
    m_contentTop = y;
    m_sections.assign(m_rowCounts.size(), {});
    for (int32_t s = 0; s < int32_t(m_rowCounts.size()); ++s) {
        SectionGeometry& g = m_sections[s];
        g.top = y;
        auto headerHeight = d ? d->tableViewHeightForHeaderInSection(self, s) : std::nullopt;
        if (headerHeight && *headerHeight != UITableViewAutomaticDimension)
            g.header = std::max<CGFloat>(0, *headerHeight);
        else if (ds && ds->tableViewTitleForHeaderInSection(self, s))
            g.header = m_sectionHeaderHeight;
        else
            g.header = m_style == UITableViewStyleGrouped ? kGroupedSpacing : 0;
        y += g.header;
        for (int32_t r = 0; r < m_rowCounts[s]; ++r) {
            auto height = d ? d->tableViewHeightForRowAtIndexPath(self, NSIndexPath::indexPathForRowInSection(r, s))
                            : std::nullopt;
            CGFloat h
                = height && *height != UITableViewAutomaticDimension ? std::max<CGFloat>(0, *height) : m_rowHeight;
            g.rowTops.push_back(y);
            g.rowHeights.push_back(h);
            y += h;
        }
        auto footerHeight = d ? d->tableViewHeightForFooterInSection(self, s) : std::nullopt;
        if (footerHeight && *footerHeight != UITableViewAutomaticDimension)
            g.footer = std::max<CGFloat>(0, *footerHeight);
        else if (ds && ds->tableViewTitleForFooterInSection(self, s))
            g.footer = m_sectionFooterHeight;
        else
            g.footer = m_style == UITableViewStyleGrouped ? kGroupedSpacing : 0;
        y += g.footer;
        g.height = y - g.top;
    }
    if (m_tableFooterView) {
        CGRect f = m_tableFooterView->frame();
        m_tableFooterView->setFrame(CGRectMake(0, y, bounds().size.width, f.size.height));
        y += f.size.height;
    }
    if (m_tableHeaderView) {
        CGRect f = m_tableHeaderView->frame();
        m_tableHeaderView->setFrame(CGRectMake(0, 0, bounds().size.width, f.size.height));
    }
    setContentSize(CGSizeMake(bounds().size.width, y));
}

UISectionedRows::Counts UITableView::rowCountsFromDataSource(UITableViewDataSource* ds)
{
    auto self = protectedTable();
    return UISectionedRows::countRows(ds ? ds->numberOfSectionsInTableView(self) : 0, [&](int32_t section) {
        auto* source = dataSource();
        return source ? source->tableViewNumberOfRowsInSection(self, section) : 0;
    });
}

void UITableView::removeSectionViews()
{
    for (auto& [section, view] : m_headerViews)
        view->removeFromSuperview();
    for (auto& [section, view] : m_footerViews)
        view->removeFromSuperview();
    m_headerViews.clear();
    m_footerViews.clear();
}

void UITableView::reloadData()
{
    assertIsMainThread();
    recordUpdate({ UITableViewRecordedUpdate::Kind::ReloadData, {}, {}, UITableViewRowAnimationNone });
    m_needsReload = true;
    setNeedsGeometry();
}

int32_t UITableView::numberOfSections()
{
    ensureGeometry();
    return int32_t(m_rowCounts.size());
}

int32_t UITableView::numberOfRowsInSection(int32_t section)
{
    ensureGeometry();
    return UISectionedRows::rowsInSection(m_rowCounts, section);
}

std::optional<UITableView::Path> UITableView::validPath(const Ref<NSIndexPath>& indexPath)
{
    ensureGeometry();
    return UISectionedRows::existingPath(indexPath, m_rowCounts);
}

CGRect UITableView::rowRect(Path path)
{
    const SectionGeometry& g = m_sections[path.first];
    return CGRectMake(0, g.rowTops[path.second], bounds().size.width, g.rowHeights[path.second]);
}

CGRect UITableView::rectForSection(int32_t section)
{
    ensureGeometry();
    if (section < 0 || section >= int32_t(m_sections.size()))
        return CGRectZero;
    return CGRectMake(0, m_sections[section].top, bounds().size.width, m_sections[section].height);
}

CGRect UITableView::rectForHeaderInSection(int32_t section)
{
    ensureGeometry();
    if (section < 0 || section >= int32_t(m_sections.size()))
        return CGRectZero;
    return CGRectMake(0, m_sections[section].top, bounds().size.width, m_sections[section].header);
}

CGRect UITableView::rectForFooterInSection(int32_t section)
{
    ensureGeometry();
    if (section < 0 || section >= int32_t(m_sections.size()))
        return CGRectZero;
    const SectionGeometry& g = m_sections[section];
    return CGRectMake(0, g.top + g.height - g.footer, bounds().size.width, g.footer);
}

CGRect UITableView::rectForRowAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    auto path = validPath(indexPath);
    return path ? rowRect(*path) : CGRectZero;
}

Ref<NSIndexPath> UITableView::indexPathForRowAtPoint(CGPoint point)
{
    ensureGeometry();
    if (point.x < 0 || point.x >= bounds().size.width)
        return nullptr;
    for (int32_t s = 0; s < int32_t(m_sections.size()); ++s) {
        const SectionGeometry& g = m_sections[s];
        if (point.y < g.top || point.y >= g.top + g.height)
            continue;
        // Rows are sorted by their tops.
        auto it = std::upper_bound(g.rowTops.begin(), g.rowTops.end(), point.y);
        if (it == g.rowTops.begin())
            return nullptr;
        int32_t r = int32_t(it - g.rowTops.begin()) - 1;
        if (point.y < g.rowTops[r] + g.rowHeights[r])
            return NSIndexPath::indexPathForRowInSection(r, s);
        return nullptr;
    }
    return nullptr;
}

std::vector<Ref<NSIndexPath>> UITableView::indexPathsForRowsInRect(CGRect rect)
{
    ensureGeometry();
    std::vector<Ref<NSIndexPath>> result;
    CGFloat top = CGRectGetMinY(rect);
    CGFloat bottom = CGRectGetMaxY(rect);
    for (int32_t s = 0; s < int32_t(m_sections.size()); ++s) {
        const SectionGeometry& g = m_sections[s];
        if (g.top >= bottom || g.top + g.height <= top)
            continue;
        for (int32_t r = 0; r < int32_t(g.rowTops.size()); ++r) {
            if (g.rowHeights[r] > 0 && g.rowTops[r] < bottom && g.rowTops[r] + g.rowHeights[r] > top)
                result.push_back(NSIndexPath::indexPathForRowInSection(r, s));
        }
    }
    return result;
}

// Cells on screen

void UITableView::endDisplaying(Path path, const Ref<UITableViewCell>& cell)
{
    enqueueCell(cell);
    if (auto* d = tableDelegate())
        d->tableViewDidEndDisplayingCellForRowAtIndexPath(protectedTable(), cell, toIndexPath(path));
}

void UITableView::layoutSubviews()
{
    UIScrollView::layoutSubviews();
    layoutCells();
}

void UITableView::layoutCells()
{
    if (m_inLayout)
        return;
    m_inLayout = true;
    auto self = protectedTable();
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset { m_inLayout };

    ensureGeometry();
    CGRect visible = bounds();
    std::set<Path> wanted;
    for (const auto& indexPath : indexPathsForRowsInRect(visible))
        wanted.insert({ indexPath->section(), indexPath->row() });

    UISectionedRows::dropCellsNotIn(
        m_visibleCells, wanted, [&](Path path, const Ref<UITableViewCell>& cell) { endDisplaying(path, cell); });
    for (const Path& path : wanted) {
        auto found = m_visibleCells.find(path);
        if (found != m_visibleCells.end()) {
            found->second->setFrame(rowRect(path));
            continue;
        }
        auto* ds = dataSource();
        if (!ds)
            break;
        auto indexPath = toIndexPath(path);
        auto cell = ds->tableViewCellForRowAtIndexPath(self, indexPath);
        if (!cell)
            NSException::raise(NSInternalInconsistencyException,
                "UITableView dataSource must return a cell from tableView:cellForRowAtIndexPath:");
        cell->setFrame(rowRect(path));
        cell->setSelected(m_selection.isSelected(path));
        cell->setEditing(m_editing);
        insertSubviewAtIndex(cell, m_backgroundView ? 1 : 0);
        m_visibleCells[path] = cell;
        cell->layoutIfNeeded();
        if (auto* d = tableDelegate())
            d->tableViewWillDisplayCellForRowAtIndexPath(self, cell, indexPath);
    }
    layoutSectionViews(visible);
    layoutSeparators(visible);
    layoutSectionIndex(visible);
}

Ref<UITableViewCell> UITableView::cellForRowAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    layoutCells();
    return UISectionedRows::cellAt(m_visibleCells, validPath(indexPath));
}

std::vector<Ref<UITableViewCell>> UITableView::visibleCells()
{
    layoutCells();
    return UISectionedRows::cells(m_visibleCells);
}

std::vector<Ref<NSIndexPath>> UITableView::indexPathsForVisibleRows()
{
    layoutCells();
    return UISectionedRows::indexPaths(m_visibleCells);
}

Ref<NSIndexPath> UITableView::indexPathForCell(const Ref<UITableViewCell>& cell)
{
    layoutCells();
    return UISectionedRows::indexPathOf(m_visibleCells, cell);
}

Ref<UIView> UITableView::headerViewForSection(int32_t section)
{
    layoutCells();
    auto it = m_headerViews.find(section);
    return it == m_headerViews.end() ? nullptr : it->second;
}

Ref<UIView> UITableView::footerViewForSection(int32_t section)
{
    layoutCells();
    auto it = m_footerViews.find(section);
    return it == m_footerViews.end() ? nullptr : it->second;
}
