#include "uikit/UITableView.h"

#include "foundation/NSException.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"
#include "uikit/UIScreen.h"
#include "uikit/UITableViewIndex.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>
#include <set>

VX_REGISTER_CLASS(UITableView);

namespace {
// Grouped sections keep this much space above and below when they have no header or footer.
constexpr CGFloat kGroupedSpacing = 10;

Ref<NSIndexPath> toIndexPath(std::pair<int32_t, int32_t> path)
{
    return NSIndexPath::indexPathForRowInSection(path.second, path.first);
}
} // namespace

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
    m_dataSource = dataSource;
    m_dataSourceOwner = std::move(owner);
    m_needsReload = true;
    setNeedsGeometry();
}

void UITableView::setTableDelegate(UITableViewDelegate* delegate, Weak<NSObject> owner)
{
    m_tableDelegate = delegate;
    m_tableDelegateOwner = owner;
    setDelegate(delegate, std::move(owner));
    setNeedsGeometry();
}

void UITableView::setTableHeaderView(const Ref<UIView>& view)
{
    if (m_tableHeaderView)
        m_tableHeaderView->removeFromSuperview();
    m_tableHeaderView = view;
    if (view)
        addSubview(view);
    setNeedsGeometry();
}

void UITableView::setTableFooterView(const Ref<UIView>& view)
{
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

// Separators

Ref<UIColor> UITableView::separatorColor() const
{
    return m_separatorColor ? m_separatorColor : UIColor::colorWithRedGreenBlueAlpha(0.78f, 0.78f, 0.8f, 1);
}

void UITableView::setSeparatorStyle(UITableViewCellSeparatorStyle style)
{
    m_separatorStyle = style;
    setNeedsLayout();
}

void UITableView::setSeparatorColor(const Ref<UIColor>& color)
{
    m_separatorColor = color;
    for (const auto& line : m_separators)
        line->setBackgroundColor(separatorColor());
}

void UITableView::setSeparatorInset(UIEdgeInsets insets)
{
    m_separatorInset = insets;
    setNeedsLayout();
}

void UITableView::layoutSeparators(CGRect visible)
{
    std::vector<CGFloat> lines; // the separators' y, in content space
    if (m_separatorStyle != UITableViewCellSeparatorStyleNone) {
        CGFloat bottom = CGRectGetMaxY(visible);
        CGFloat last = -1;
        for (const auto& [path, cell] : m_visibleCells) {
            CGFloat y = CGRectGetMaxY(rowRect(path));
            lines.push_back(y);
            last = std::max(last, y);
        }
        // An empty plain table, or the space below its last row, shows empty rows' lines unless a
        // footer view takes that space.
        if (m_style == UITableViewStylePlain && !m_tableFooterView && m_rowHeight > 0) {
            CGFloat end = 0;
            for (const auto& g : m_sections)
                end = std::max(end, g.top + g.height);
            if (m_sections.empty())
                end = m_contentTop;
            CGFloat y = end + m_rowHeight;
            // Start at the first filler line on screen.
            if (y < CGRectGetMinY(visible))
                y += std::floor((CGRectGetMinY(visible) - y) / m_rowHeight) * m_rowHeight;
            for (; y <= bottom; y += m_rowHeight)
                lines.push_back(y);
        }
    }
    CGFloat hairline = 1 / std::max<CGFloat>(1, UIScreen::mainScreen()->scale());
    CGFloat width = bounds().size.width;
    CGFloat x = m_separatorInset.left;
    CGFloat length = std::max<CGFloat>(0, width - m_separatorInset.left - m_separatorInset.right);
    while (m_separators.size() > lines.size()) {
        m_separators.back()->removeFromSuperview();
        m_separators.pop_back();
    }
    while (m_separators.size() < lines.size()) {
        auto line = UIView::initWithFrame(CGRectZero);
        line->setBackgroundColor(separatorColor());
        line->setUserInteractionEnabled(false);
        m_separators.push_back(line);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        m_separators[i]->setFrame(CGRectMake(x, lines[i] - hairline, length, hairline));
        // Cells go in below everything else, so lines added once stay above them.
        if (m_separators[i]->superview().get() != this)
            addSubview(m_separators[i]);
    }
}

// Section index

void UITableView::reloadSectionIndexTitles()
{
    auto self = protectedTable();
    m_indexTitles = dataSource() ? dataSource()->sectionIndexTitlesForTableView(self) : std::vector<std::string>();
    setNeedsLayout();
}

void UITableView::setSectionIndexMinimumDisplayRowCount(int32_t count)
{
    m_sectionIndexMinimumDisplayRowCount = count;
    setNeedsLayout();
}

void UITableView::updateIndexColors()
{
    if (m_index)
        m_index->setColors(m_sectionIndexColor, m_sectionIndexBackgroundColor, m_sectionIndexTrackingBackgroundColor);
}

void UITableView::setSectionIndexColor(const Ref<UIColor>& color)
{
    m_sectionIndexColor = color;
    updateIndexColors();
}

void UITableView::setSectionIndexBackgroundColor(const Ref<UIColor>& color)
{
    m_sectionIndexBackgroundColor = color;
    updateIndexColors();
}

void UITableView::setSectionIndexTrackingBackgroundColor(const Ref<UIColor>& color)
{
    m_sectionIndexTrackingBackgroundColor = color;
    updateIndexColors();
}

Ref<UIView> UITableView::sectionIndexView() const
{
    return m_index;
}

bool UITableView::dragMayStartWithTouch(const Ref<UITouch>& touch) const
{
    if (!m_index || !touch)
        return true;
    for (auto v = touch->view(); v; v = v->superview()) {
        if (v == m_index)
            return false;
    }
    return true;
}

void UITableView::layoutSectionIndex(CGRect visible)
{
    int32_t rows = 0;
    for (int32_t count : m_rowCounts)
        rows += count;
    bool shown = !m_indexTitles.empty() && rows >= m_sectionIndexMinimumDisplayRowCount;
    if (!shown) {
        if (m_index && !m_index->isTracking()) {
            m_index->removeFromSuperview();
            m_index = nullptr;
        }
        return;
    }
    if (!m_index) {
        m_index = UITableViewIndex::init();
        Weak<UITableView> weak = protectedTable();
        m_index->setOnSelect([weak](int32_t entry) {
            if (auto table = weak.lock())
                table->sectionIndexSelected(entry);
        });
        updateIndexColors();
        addSubview(m_index);
    }
    if (m_index->titles() != m_indexTitles)
        m_index->setTitles(m_indexTitles);
    // It stays put at the right edge while the rows scroll under it.
    m_index->setFrame(CGRectMake(CGRectGetMaxX(visible) - UITableViewIndex::kWidth, CGRectGetMinY(visible),
        UITableViewIndex::kWidth, visible.size.height));
    // Reordering asks for another layout pass, so only when something came in above it.
    if (subviews().back() != m_index)
        bringSubviewToFront(m_index);
}

void UITableView::sectionIndexSelected(int32_t entry)
{
    auto self = protectedTable();
    auto* ds = dataSource();
    if (!ds || entry < 0 || entry >= int32_t(m_indexTitles.size()))
        return;
    int32_t section = ds->tableViewSectionForSectionIndexTitleAtIndex(self, m_indexTitles[size_t(entry)], entry);
    ensureGeometry();
    if (section < 0 || section >= int32_t(m_sections.size()))
        return;
    CGPoint offset = contentOffset();
    CGPoint min = minimumContentOffset();
    CGPoint max = maximumContentOffset();
    offset.y = std::clamp(m_sections[size_t(section)].top - contentInset().top, min.y, max.y);
    setContentOffsetAnimated(offset, false);
}

void UITableView::layoutSectionViews(CGRect visible)
{
    auto self = protectedTable();
    auto* ds = dataSource();
    auto* d = tableDelegate();
    std::vector<Ref<UIView>> pinnedViews;
    auto place = [&](std::map<int32_t, Ref<UIView>>& views, bool header) {
        for (int32_t s = 0; s < int32_t(m_sections.size()); ++s) {
            CGRect rect = header ? rectForHeaderInSection(s) : rectForFooterInSection(s);
            bool shown = rect.size.height > 0 && CGRectIntersectsRect(rect, visible);
            // In the plain style a header stays pinned to the top of the visible area while
            // its section is on screen, pushed up by the end of the section.
            bool pinned = header && m_style == UITableViewStylePlain && rect.size.height > 0;
            if (pinned) {
                CGRect section = rectForSection(s);
                shown = CGRectIntersectsRect(section, visible);
                CGFloat top = CGRectGetMinY(visible) + contentInset().top;
                rect.origin.y = std::min(std::max(rect.origin.y, top), CGRectGetMaxY(section) - rect.size.height);
            }
            auto it = views.find(s);
            if (!shown) {
                if (it != views.end()) {
                    it->second->removeFromSuperview();
                    views.erase(it);
                }
                continue;
            }
            if (it == views.end()) {
                Ref<UIView> view = d ? (header ? d->tableViewViewForHeaderInSection(self, s)
                                               : d->tableViewViewForFooterInSection(self, s))
                                     : nullptr;
                if (!view && ds) {
                    auto title = header ? ds->tableViewTitleForHeaderInSection(self, s)
                                        : ds->tableViewTitleForFooterInSection(self, s);
                    if (title) {
                        auto label = UILabel::initWithFrame(rect);
                        label->setText(*title);
                        view = label;
                    }
                }
                if (!view)
                    continue;
                addSubview(view);
                it = views.emplace(s, view).first;
            }
            it->second->setFrame(rect);
            if (pinned)
                pinnedViews.push_back(it->second);
        }
    };
    place(m_headerViews, true);
    place(m_footerViews, false);
    // Pinned headers float above the cells, in section order. Reorder only when they are not
    // already there: every reordering asks for another layout pass.
    const auto& order = subviews();
    bool inFront = order.size() >= pinnedViews.size()
        && std::equal(pinnedViews.begin(), pinnedViews.end(), order.end() - ptrdiff_t(pinnedViews.size()));
    if (!inFront) {
        for (const auto& view : pinnedViews)
            bringSubviewToFront(view);
    }
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

// Updates

void UITableView::recordUpdate(UITableViewRecordedUpdate record)
{
    m_recordedUpdates.push_back(std::move(record));
}

void UITableView::beginUpdates()
{
    m_updates.begin();
}

void UITableView::endUpdates()
{
    if (!m_updates.end())
        return;
    // Heights are asked again even when nothing changed.
    applyUpdates(m_updates.takePending());
}

void UITableView::insertRowsAtIndexPathsWithRowAnimation(
    const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation)
{
    queueRowUpdate(
        UITableViewRecordedUpdate::Kind::InsertRows, indexPaths, animation, &UIBatchUpdates::Changes::insertRows);
}

void UITableView::deleteRowsAtIndexPathsWithRowAnimation(
    const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation)
{
    queueRowUpdate(
        UITableViewRecordedUpdate::Kind::DeleteRows, indexPaths, animation, &UIBatchUpdates::Changes::deleteRows);
}

void UITableView::reloadRowsAtIndexPathsWithRowAnimation(
    const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation)
{
    queueRowUpdate(
        UITableViewRecordedUpdate::Kind::ReloadRows, indexPaths, animation, &UIBatchUpdates::Changes::reloadRows);
}

void UITableView::moveRowAtIndexPathToIndexPath(const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to)
{
    if (!from || !to)
        return;
    Path a { from->section(), from->row() };
    Path b { to->section(), to->row() };
    recordUpdate({ UITableViewRecordedUpdate::Kind::MoveRow, { a, b }, {}, UITableViewRowAnimationNone });
    m_updates.pending().moveRows.push_back({ a, b });
    applyUpdatesUnlessBatched();
}

void UITableView::queueRowUpdate(UITableViewRecordedUpdate::Kind kind, const std::vector<Ref<NSIndexPath>>& indexPaths,
    UITableViewRowAnimation animation, std::vector<Path> UIBatchUpdates::Changes::*list)
{
    UITableViewRecordedUpdate record { kind, {}, {}, animation };
    for (const auto& p : indexPaths) {
        if (p)
            record.indexPaths.push_back({ p->section(), p->row() });
    }
    auto& pending = m_updates.pending().*list;
    pending.insert(pending.end(), record.indexPaths.begin(), record.indexPaths.end());
    recordUpdate(std::move(record));
    applyUpdatesUnlessBatched();
}

void UITableView::queueSectionUpdate(UITableViewRecordedUpdate::Kind kind, const std::vector<int32_t>& sections,
    UITableViewRowAnimation animation, std::vector<int32_t> UIBatchUpdates::Changes::*list)
{
    recordUpdate({ kind, {}, sections, animation });
    auto& pending = m_updates.pending().*list;
    pending.insert(pending.end(), sections.begin(), sections.end());
    applyUpdatesUnlessBatched();
}

void UITableView::applyUpdatesUnlessBatched()
{
    if (!m_updates.isBatching())
        applyUpdates(m_updates.takePending());
}

void UITableView::insertSectionsWithRowAnimation(
    const std::vector<int32_t>& sections, UITableViewRowAnimation animation)
{
    queueSectionUpdate(
        UITableViewRecordedUpdate::Kind::InsertSections, sections, animation, &UIBatchUpdates::Changes::insertSections);
}

void UITableView::deleteSectionsWithRowAnimation(
    const std::vector<int32_t>& sections, UITableViewRowAnimation animation)
{
    queueSectionUpdate(
        UITableViewRecordedUpdate::Kind::DeleteSections, sections, animation, &UIBatchUpdates::Changes::deleteSections);
}

void UITableView::reloadSectionsWithRowAnimation(
    const std::vector<int32_t>& sections, UITableViewRowAnimation animation)
{
    queueSectionUpdate(
        UITableViewRecordedUpdate::Kind::ReloadSections, sections, animation, &UIBatchUpdates::Changes::reloadSections);
}

namespace {
std::string refusedInsert(UISectionedRows::Path path, int32_t rowsAfter)
{
    return "attempt to insert row " + std::to_string(path.second) + " into section " + std::to_string(path.first)
        + ", but there are only " + std::to_string(rowsAfter) + " rows in section after the update";
}

std::string refusedMove(UISectionedRows::Path, UISectionedRows::Path)
{
    return "attempt to move a row that does not exist or to a place that does not exist after the update";
}

// How a table words its refusals. It lets through a reload of a section that is not there, and
// moves onto places already taken.
const UIBatchUpdates::Rules kTableRules { .viewName = "table view",
    .rowName = "row",
    .checksReloadedSections = false,
    .checksMoveClashes = false,
    .insertFailure = refusedInsert,
    .moveFailure = refusedMove };
} // namespace

void UITableView::applyUpdates(UIBatchUpdates::Changes changes)
{
    auto self = protectedTable();
    // A table that has not loaded yet simply loads the new data.
    if (m_needsReload) {
        setNeedsGeometry();
        return;
    }
    auto* ds = dataSource();
    UISectionedRows::Counts oldCounts = m_rowCounts;
    UISectionedRows::Counts newCounts = rowCountsFromDataSource(ds);
    auto plan = UIBatchUpdates::plan(oldCounts, newCounts, changes, kTableRules);
    if (!plan.failure.empty()) {
        // The table stays usable: it forgets its rows and loads them again.
        m_needsReload = true;
        setNeedsGeometry();
        NSException::raise(NSInternalInconsistencyException, plan.failure);
    }

    UIBatchUpdates::moveVisibleCells(
        m_visibleCells, plan, [&](Path path, const Ref<UITableViewCell>& cell) { endDisplaying(path, cell); });
    UIBatchUpdates::moveSelection(m_selection.paths(), plan);
    removeSectionViews();

    m_rowCounts = std::move(newCounts);
    computeGeometry();
    setNeedsLayout();
    layoutCells();
}

// Editing

void UITableView::setEditingAnimated(bool editing, bool animated)
{
    if (m_editing == editing)
        return;
    m_editing = editing;
    for (auto& [path, cell] : m_visibleCells)
        cell->setEditingAnimated(editing, animated);
}

bool UITableView::userCommitDeleteOfRowAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    auto self = protectedTable();
    auto path = validPath(indexPath);
    auto* ds = dataSource();
    if (!path || !ds || !ds->tableViewCanEditRowAtIndexPath(self, indexPath))
        return false;
    auto* d = tableDelegate();
    auto style = d ? d->tableViewEditingStyleForRowAtIndexPath(self, indexPath) : std::nullopt;
    if (style.value_or(UITableViewCellEditingStyleDelete) != UITableViewCellEditingStyleDelete)
        return false;
    ds->tableViewCommitEditingStyleForRowAtIndexPath(self, UITableViewCellEditingStyleDelete, toIndexPath(*path));
    return true;
}

Ref<NSIndexPath> UITableView::userMoveRowAtIndexPathToProposedIndexPath(
    const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& proposed)
{
    auto self = protectedTable();
    auto source = validPath(from);
    auto* ds = dataSource();
    if (!source || !proposed || !ds || !ds->respondsToMoveRow() || !ds->tableViewCanMoveRowAtIndexPath(self, from))
        return nullptr;
    // A place the row can take once it has left its own: a section's rows, or one past the end
    // of another section.
    auto clampTarget = [&](int32_t section, int32_t row) -> Path {
        section = std::clamp(section, 0, int32_t(m_rowCounts.size()) - 1);
        int32_t limit = m_rowCounts[section] - (section == source->first ? 1 : 0);
        return { section, std::clamp(row, 0, limit) };
    };
    Path target = clampTarget(proposed->section(), proposed->row());
    if (auto* d = tableDelegate()) {
        auto redirected = d->tableViewTargetIndexPathForMoveFromRowAtIndexPathToProposedIndexPath(
            self, toIndexPath(*source), toIndexPath(target));
        if (redirected)
            target = clampTarget(redirected->section(), redirected->row());
    }
    if (target == *source)
        return toIndexPath(target);
    ds->tableViewMoveRowAtIndexPathToIndexPath(self, toIndexPath(*source), toIndexPath(target));
    UIBatchUpdates::Changes move;
    move.moveRows.push_back({ *source, target });
    applyUpdates(std::move(move));
    return toIndexPath(target);
}

// Selection

Ref<NSIndexPath> UITableView::indexPathForSelectedRow() const
{
    auto first = m_selection.first();
    return first ? toIndexPath(*first) : nullptr;
}

std::vector<Ref<NSIndexPath>> UITableView::indexPathsForSelectedRows() const
{
    return m_selection.sortedIndexPaths();
}

void UITableView::selectRowAtIndexPathAnimatedScrollPosition(
    const Ref<NSIndexPath>& indexPath, bool animated, UITableViewScrollPosition position)
{
    auto path = validPath(indexPath);
    if (!path) {
        // Selecting nil clears the selection.
        m_selection.clear();
        return;
    }
    // A table selects in code even when it does not allow selection by taps.
    m_selection.select(*path);
    if (position != UITableViewScrollPositionNone)
        scrollToRowAtIndexPathAtScrollPositionAnimated(indexPath, position, animated);
}

void UITableView::deselectRowAtIndexPathAnimated(const Ref<NSIndexPath>& indexPath, bool)
{
    if (auto path = validPath(indexPath))
        m_selection.set(*path, false);
}

void UITableView::userSelectRowAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    auto self = protectedTable();
    if (!allowsSelection() || (m_editing && !m_allowsSelectionDuringEditing))
        return;
    auto tapped = validPath(indexPath);
    if (!tapped)
        return;
    // The delegate may answer another row to select or deselect than the one asked about, or
    // none; the answer must be a row the table has.
    m_selection.tap(*tapped,
        { .willSelect =
                [&](Path p) {
                    auto* d = tableDelegate();
                    return validPath(d ? d->tableViewWillSelectRowAtIndexPath(self, toIndexPath(p)) : toIndexPath(p));
                },
            .didSelect =
                [&](Path p) {
                    if (auto* d = tableDelegate())
                        d->tableViewDidSelectRowAtIndexPath(self, toIndexPath(p));
                },
            .willDeselect =
                [&](Path p) {
                    auto* d = tableDelegate();
                    return validPath(d ? d->tableViewWillDeselectRowAtIndexPath(self, toIndexPath(p)) : toIndexPath(p));
                },
            .didDeselect =
                [&](Path p) {
                    if (auto* d = tableDelegate())
                        d->tableViewDidDeselectRowAtIndexPath(self, toIndexPath(p));
                } });
}

void UITableView::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    // A touch that lifts without having dragged is a tap on the row under it.
    bool tap = isTapInProgress();
    UIScrollView::touchesEnded(touches, event);
    if (auto point = UIItemSelection::tapLocation(tap, touches, protectedTable())) {
        if (auto indexPath = indexPathForRowAtPoint(*point))
            userSelectRowAtIndexPath(indexPath);
    }
}

// Scrolling to rows

void UITableView::scrollToRowAtIndexPathAtScrollPositionAnimated(
    const Ref<NSIndexPath>& indexPath, UITableViewScrollPosition position, bool animated)
{
    auto path = validPath(indexPath);
    if (!path)
        NSException::raise(NSRangeException,
            "attempt to scroll to invalid index path: "
                + (indexPath ? indexPath->description() : std::string("(null)")));
    CGRect rect = rowRect(*path);
    CGFloat height = bounds().size.height;
    CGPoint offset = contentOffset();
    switch (position) {
    case UITableViewScrollPositionNone:
        scrollRectToVisibleAnimated(rect, animated);
        return;
    case UITableViewScrollPositionTop:
        offset.y = rect.origin.y;
        break;
    case UITableViewScrollPositionMiddle:
        offset.y = CGRectGetMidY(rect) - height / 2;
        break;
    case UITableViewScrollPositionBottom:
        offset.y = CGRectGetMaxY(rect) - height;
        break;
    }
    CGPoint min = minimumContentOffset();
    CGPoint max = maximumContentOffset();
    offset.y = std::clamp(offset.y, min.y, max.y);
    setContentOffsetAnimated(offset, animated);
}

void UITableView::scrollToNearestSelectedRowAtScrollPositionAnimated(UITableViewScrollPosition position, bool animated)
{
    if (auto selected = indexPathForSelectedRow())
        scrollToRowAtIndexPathAtScrollPositionAnimated(selected, position, animated);
}
