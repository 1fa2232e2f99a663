#include "uikit/UICollectionView.h"

#include "foundation/NSException.h"
#include "foundation/NSRunLoop.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UINib.h"
#include "uikit/UITouch.h"

#include <algorithm>

VX_REGISTER_CLASS(UICollectionView);

namespace {
Ref<NSIndexPath> toIndexPath(std::pair<int32_t, int32_t> path)
{
    return NSIndexPath::indexPathForItemInSection(path.second, path.first);
}
std::string supplementaryKey(const std::string& kind, const std::string& identifier)
{
    return kind + "/" + identifier;
}
} // namespace

void UICollectionViewLayout::invalidateLayout()
{
    m_needsPrepare = true;
    if (auto view = collectionView())
        view->setNeedsLayout();
}

Ref<UICollectionView> UICollectionView::initWithFrameCollectionViewLayout(
    CGRect frame, const Ref<UICollectionViewLayout>& layout)
{
    if (!layout)
        NSException::raise(
            NSInvalidArgumentException, "UICollectionView must be initialized with a non-nil layout parameter");
    auto view = makeScrollView<UICollectionView>(frame);
    view->setCollectionViewLayout(layout);
    return view;
}

void UICollectionView::setDataSource(UICollectionViewDataSource* dataSource, Weak<NSObject> owner)
{
    assertIsMainThread();
    m_dataSource = dataSource;
    m_dataSourceOwner = std::move(owner);
    reloadData();
    m_recordedChanges.pop_back();
}

void UICollectionView::setCollectionDelegate(UICollectionViewDelegate* delegate, Weak<NSObject> owner)
{
    assertIsMainThread();
    m_collectionDelegate = delegate;
    m_collectionDelegateOwner = owner;
    setDelegate(delegate, std::move(owner));
    if (m_layout)
        m_layout->invalidateLayout();
}

void UICollectionView::setCollectionViewLayout(const Ref<UICollectionViewLayout>& layout)
{
    assertIsMainThread();
    if (!layout)
        NSException::raise(NSInvalidArgumentException, "UICollectionView must have a non-nil layout");
    if (m_layout)
        m_layout->setCollectionView(nullptr);
    m_layout = layout;
    m_layout->setCollectionView(protectedView());
    m_layout->invalidateLayout();
}

// Registration

void UICollectionView::registerCellFactory(
    const std::string& identifier, std::function<Ref<UICollectionReusableView>()> factory)
{
    assertIsMainThread();
    if (factory)
        m_factories[identifier] = std::move(factory);
    else
        m_factories.erase(identifier);
}

void UICollectionView::registerClassForCellWithReuseIdentifier(Class cls, const std::string& identifier)
{
    if (!cls) {
        registerCellFactory(identifier, nullptr);
        return;
    }
    registerCellFactory(
        identifier, [cls]() { return std::dynamic_pointer_cast<UICollectionReusableView>(createObjectOfClass(cls)); });
}

void UICollectionView::registerNibForCellWithReuseIdentifier(const Ref<UINib>& nib, const std::string& identifier)
{
    if (!nib) {
        registerCellFactory(identifier, nullptr);
        return;
    }
    registerCellFactory(identifier, [nib]() -> Ref<UICollectionReusableView> {
        for (const auto& object : nib->instantiateWithOwnerOptions(nullptr, {})) {
            if (auto view = object.objectAs<UICollectionReusableView>())
                return view;
        }
        return nullptr;
    });
}

void UICollectionView::registerClassForSupplementaryViewOfKindWithReuseIdentifier(
    Class cls, const std::string& kind, const std::string& identifier)
{
    assertIsMainThread();
    std::string key = supplementaryKey(kind, identifier);
    if (!cls) {
        m_factories.erase(key);
        return;
    }
    m_factories[key]
        = [cls]() { return std::dynamic_pointer_cast<UICollectionReusableView>(createObjectOfClass(cls)); };
}

Ref<UICollectionReusableView> UICollectionView::dequeue(const std::string& key, const std::string& identifier)
{
    auto pool = m_reusePool.find(key);
    if (pool != m_reusePool.end() && !pool->second.empty()) {
        auto view = pool->second.back();
        pool->second.pop_back();
        view->prepareForReuse();
        return view;
    }
    auto factory = m_factories.find(key);
    if (factory == m_factories.end())
        NSException::raise(NSInternalInconsistencyException,
            "could not dequeue a view with identifier " + identifier
                + " - must register a nib or a class for the identifier");
    auto view = factory->second();
    if (!view)
        NSException::raise(NSInternalInconsistencyException,
            "the registration for identifier " + identifier + " did not make a reusable view");
    view->setReuseIdentifier(key);
    return view;
}

Ref<UICollectionViewCell> UICollectionView::dequeueReusableCellWithReuseIdentifierForIndexPath(
    const std::string& identifier, const Ref<NSIndexPath>& indexPath)
{
    assertIsMainThread();
    auto cell = std::dynamic_pointer_cast<UICollectionViewCell>(dequeue(identifier, identifier));
    if (!cell)
        NSException::raise(NSInternalInconsistencyException,
            "the view registered for identifier " + identifier + " is not a UICollectionViewCell");
    prepareIfNeeded();
    if (auto attributes = m_layout->layoutAttributesForItemAtIndexPath(indexPath))
        cell->applyLayoutAttributes(attributes);
    return cell;
}

Ref<UICollectionReusableView> UICollectionView::dequeueReusableSupplementaryViewOfKindWithReuseIdentifierForIndexPath(
    const std::string& kind, const std::string& identifier, const Ref<NSIndexPath>&)
{
    assertIsMainThread();
    return dequeue(supplementaryKey(kind, identifier), identifier);
}

// Data

void UICollectionView::recordChange(const std::string& name)
{
    m_recordedChanges.push_back(name);
    m_needsReload = true;
    m_layout->invalidateLayout();
}

void UICollectionView::reloadData()
{
    assertIsMainThread();
    recordChange("reloadData");
}

// Updates

void UICollectionView::queueItems(
    const char* name, const std::vector<Ref<NSIndexPath>>& indexPaths, std::vector<Path> UIBatchUpdates::Changes::*list)
{
    m_recordedChanges.push_back(name);
    // Every path is checked before any is queued, so a refused list leaves nothing behind.
    for (const auto& indexPath : indexPaths) {
        if (!indexPath || indexPath->length() < 2)
            NSException::raise(NSInvalidArgumentException, std::string(name) + ": an index path is not an item's");
    }
    for (const auto& indexPath : indexPaths)
        (m_updates.pending().*list).push_back({ indexPath->section(), indexPath->item() });
    applyUnlessBatched();
}

void UICollectionView::queueSections(
    const char* name, const std::vector<int32_t>& sections, std::vector<int32_t> UIBatchUpdates::Changes::*list)
{
    m_recordedChanges.push_back(name);
    auto& pending = m_updates.pending().*list;
    pending.insert(pending.end(), sections.begin(), sections.end());
    applyUnlessBatched();
}

void UICollectionView::insertItemsAtIndexPaths(const std::vector<Ref<NSIndexPath>>& indexPaths)
{
    assertIsMainThread();
    queueItems("insertItems", indexPaths, &UIBatchUpdates::Changes::insertRows);
}

void UICollectionView::deleteItemsAtIndexPaths(const std::vector<Ref<NSIndexPath>>& indexPaths)
{
    assertIsMainThread();
    queueItems("deleteItems", indexPaths, &UIBatchUpdates::Changes::deleteRows);
}

void UICollectionView::reloadItemsAtIndexPaths(const std::vector<Ref<NSIndexPath>>& indexPaths)
{
    assertIsMainThread();
    queueItems("reloadItems", indexPaths, &UIBatchUpdates::Changes::reloadRows);
}

void UICollectionView::moveItemAtIndexPathToIndexPath(const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to)
{
    assertIsMainThread();
    m_recordedChanges.push_back("moveItem");
    if (!from || !to || from->length() < 2 || to->length() < 2)
        NSException::raise(NSInvalidArgumentException, "moveItem: an index path is not an item's");
    m_updates.pending().moveRows.push_back({ { from->section(), from->item() }, { to->section(), to->item() } });
    applyUnlessBatched();
}

void UICollectionView::insertSections(const std::vector<int32_t>& sections)
{
    assertIsMainThread();
    queueSections("insertSections", sections, &UIBatchUpdates::Changes::insertSections);
}

void UICollectionView::deleteSections(const std::vector<int32_t>& sections)
{
    assertIsMainThread();
    queueSections("deleteSections", sections, &UIBatchUpdates::Changes::deleteSections);
}

void UICollectionView::reloadSections(const std::vector<int32_t>& sections)
{
    assertIsMainThread();
    queueSections("reloadSections", sections, &UIBatchUpdates::Changes::reloadSections);
}

void UICollectionView::moveSectionToSection(int32_t from, int32_t to)
{
    assertIsMainThread();
    m_recordedChanges.push_back("moveSection");
    m_updates.pending().moveSections.push_back({ from, to });
    applyUnlessBatched();
}

void UICollectionView::applyUnlessBatched()
{
    if (!m_updates.isBatching())
        applyUpdates(m_updates.takePending());
}

void UICollectionView::performBatchUpdatesCompletion(
    const std::function<void()>& updates, std::function<void(bool)> completion)
{
    assertIsMainThread();
    auto self = protectedView();
    m_updates.begin();
    try {
        if (updates)
            updates();
    } catch (...) {
        m_updates.abandon();
        if (!m_updates.isBatching())
            m_batchCompletions.clear();
        throw;
    }
    // A nested batch's completion waits for the outermost batch, whose changes include its own.
    if (completion)
        m_batchCompletions.push_back(std::move(completion));
    if (!m_updates.end())
        return;
    auto completions = std::exchange(m_batchCompletions, {});
    applyUpdates(m_updates.takePending());
    if (completions.empty())
        return;
    double delay = UIView::areAnimationsEnabled() ? 0.3 : 0;
    NSRunLoop::mainRunLoop()->addDelayedPerform(nullptr, "UICollectionViewBatchCompletion",
        [completions = std::move(completions)] {
            for (const auto& completion : completions)
                completion(true);
        },
        delay, { NSRunLoopCommonModes });
}

namespace {
std::string refusedInsert(UISectionedRows::Path path, int32_t itemsAfter)
{
    return "attempt to insert item " + std::to_string(path.second) + " into section " + std::to_string(path.first)
        + ", but there are only " + std::to_string(itemsAfter) + " items in section " + std::to_string(path.first)
        + " after the update";
}

std::string refusedMove(UISectionedRows::Path from, UISectionedRows::Path to)
{
    return "attempt to move item " + std::to_string(from.second) + " of section " + std::to_string(from.first)
        + " to item " + std::to_string(to.second) + " of section " + std::to_string(to.first);
}

// How a collection view words its refusals; it also refuses reloads of sections that are not
// there and moves that clash.
const UIBatchUpdates::Rules kCollectionRules { .viewName = "collection view",
    .rowName = "item",
    .checksReloadedSections = true,
    .checksMoveClashes = true,
    .insertFailure = refusedInsert,
    .moveFailure = refusedMove };
} // namespace

void UICollectionView::applyUpdates(UIBatchUpdates::Changes changes)
{
    auto self = protectedView();
    m_layout->invalidateLayout();
    // A collection view that has not loaded yet simply loads the new data.
    if (m_needsReload)
        return;
    UISectionedRows::Counts oldCounts = m_itemCounts;
    UISectionedRows::Counts newCounts = itemCountsFromDataSource();
    auto plan = UIBatchUpdates::plan(oldCounts, newCounts, changes, kCollectionRules);
    if (!plan.failure.empty()) {
        // The view stays usable: it forgets its items and loads them again.
        m_needsReload = true;
        m_layout->invalidateLayout();
        NSException::raise(NSInternalInconsistencyException, plan.failure);
    }

    m_itemCounts = newCounts;
    UIBatchUpdates::moveVisibleCells(
        m_visibleCells, plan, [&](Path path, const Ref<UICollectionViewCell>& cell) { endDisplaying(path, cell); });
    removeSupplementaryViews();
    UIBatchUpdates::moveSelection(m_selection.paths(), plan);
}

UISectionedRows::Counts UICollectionView::itemCountsFromDataSource()
{
    auto self = protectedView();
    auto* ds = dataSource();
    return UISectionedRows::countRows(ds ? ds->numberOfSectionsInCollectionView(self) : 0, [&](int32_t section) {
        auto* source = dataSource();
        return source ? source->collectionViewNumberOfItemsInSection(self, section) : 0;
    });
}

void UICollectionView::endDisplaying(Path path, const Ref<UICollectionViewCell>& cell)
{
    cell->removeFromSuperview();
    m_reusePool[cell->reuseIdentifier()].push_back(cell);
    if (auto* d = delegate())
        d->collectionViewDidEndDisplayingCellForItemAtIndexPath(protectedView(), cell, toIndexPath(path));
}

void UICollectionView::removeSupplementaryViews()
{
    for (auto& [key, view] : m_visibleSupplementary) {
        view->removeFromSuperview();
        m_reusePool[view->reuseIdentifier()].push_back(view);
    }
    m_visibleSupplementary.clear();
}

void UICollectionView::ensureLoaded()
{
    if (!m_needsReload)
        return;
    m_needsReload = false;
    auto self = protectedView();
    auto cells = std::move(m_visibleCells);
    m_visibleCells.clear();
    for (auto& [path, cell] : cells)
        endDisplaying(path, cell);
    removeSupplementaryViews();
    m_itemCounts.clear(); // no items while the data source is asked
    m_itemCounts = itemCountsFromDataSource();
    UISectionedRows::dropPathsBeyond(m_selection.paths(), m_itemCounts);
    m_layout->setNeedsPrepare(true);
}

void UICollectionView::prepareIfNeeded()
{
    ensureLoaded();
    if (!m_layout->needsPrepare())
        return;
    m_layout->setNeedsPrepare(false);
    m_layout->prepareLayout();
    setContentSize(m_layout->collectionViewContentSize());
}

int32_t UICollectionView::numberOfSections()
{
    ensureLoaded();
    return int32_t(m_itemCounts.size());
}

int32_t UICollectionView::numberOfItemsInSection(int32_t section)
{
    ensureLoaded();
    return UISectionedRows::rowsInSection(m_itemCounts, section);
}

std::optional<UICollectionView::Path> UICollectionView::validPath(const Ref<NSIndexPath>& indexPath)
{
    ensureLoaded();
    return UISectionedRows::existingPath(indexPath, m_itemCounts);
}

// Layout of what is on screen

void UICollectionView::setBounds(CGRect newBounds)
{
    if (m_layout && m_layout->shouldInvalidateLayoutForBoundsChange(newBounds))
        m_layout->invalidateLayout();
    UIScrollView::setBounds(newBounds);
}

void UICollectionView::layoutSubviews()
{
    UIScrollView::layoutSubviews();
    layoutItems();
}

void UICollectionView::layoutItems()
{
    if (m_inLayout)
        return;
    m_inLayout = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset { m_inLayout };
    auto self = protectedView();
    prepareIfNeeded();
    auto elements = m_layout->layoutAttributesForElementsInRect(bounds());
    std::map<Path, Ref<UICollectionViewLayoutAttributes>> items;
    std::map<std::pair<std::string, Path>, Ref<UICollectionViewLayoutAttributes>> supplementary;
    for (const auto& attributes : elements) {
        auto path = validPath(attributes->indexPath());
        if (attributes->representedElementCategory() == UICollectionElementCategoryCell) {
            if (path)
                items[*path] = attributes;
        } else if (attributes->indexPath()) {
            supplementary[{ attributes->representedElementKind(),
                { attributes->indexPath()->section(), attributes->indexPath()->item() } }]
                = attributes;
        }
    }
    UISectionedRows::dropCellsNotIn(
        m_visibleCells, items, [&](Path path, const Ref<UICollectionViewCell>& cell) { endDisplaying(path, cell); });
    for (const auto& [path, attributes] : items) {
        auto found = m_visibleCells.find(path);
        if (found != m_visibleCells.end()) {
            found->second->applyLayoutAttributes(attributes);
            continue;
        }
        auto* ds = dataSource();
        if (!ds)
            break;
        auto indexPath = toIndexPath(path);
        auto cell = ds->collectionViewCellForItemAtIndexPath(self, indexPath);
        if (!cell)
            NSException::raise(NSInternalInconsistencyException,
                "the collection view's data source did not return a valid cell from "
                "-collectionView:cellForItemAtIndexPath:");
        cell->applyLayoutAttributes(attributes);
        cell->setSelected(m_selection.isSelected(path));
        insertSubviewAtIndex(cell, 0);
        m_visibleCells[path] = cell;
        if (auto* d = delegate())
            d->collectionViewWillDisplayCellForItemAtIndexPath(self, cell, indexPath);
    }
    for (auto it = m_visibleSupplementary.begin(); it != m_visibleSupplementary.end();) {
        if (supplementary.count(it->first)) {
            ++it;
            continue;
        }
        it->second->removeFromSuperview();
        m_reusePool[it->second->reuseIdentifier()].push_back(it->second);
        it = m_visibleSupplementary.erase(it);
    }
    for (const auto& [key, attributes] : supplementary) {
        auto found = m_visibleSupplementary.find(key);
        if (found != m_visibleSupplementary.end()) {
            found->second->applyLayoutAttributes(attributes);
            continue;
        }
        auto* ds = dataSource();
        auto view = ds
            ? ds->collectionViewViewForSupplementaryElementOfKindAtIndexPath(self, key.first, attributes->indexPath())
            : nullptr;
        if (!view)
            continue;
        view->applyLayoutAttributes(attributes);
        addSubview(view);
        m_visibleSupplementary[key] = view;
    }
}

std::vector<Ref<UICollectionViewCell>> UICollectionView::visibleCells()
{
    layoutItems();
    return UISectionedRows::cells(m_visibleCells);
}

std::vector<Ref<NSIndexPath>> UICollectionView::indexPathsForVisibleItems()
{
    layoutItems();
    return UISectionedRows::indexPaths(m_visibleCells);
}

Ref<UICollectionViewCell> UICollectionView::cellForItemAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    layoutItems();
    return UISectionedRows::cellAt(m_visibleCells, validPath(indexPath));
}

Ref<NSIndexPath> UICollectionView::indexPathForCell(const Ref<UICollectionViewCell>& cell)
{
    layoutItems();
    return UISectionedRows::indexPathOf(m_visibleCells, cell);
}

Ref<NSIndexPath> UICollectionView::indexPathForItemAtPoint(CGPoint point)
{
    prepareIfNeeded();
    for (const auto& attributes : m_layout->layoutAttributesForElementsInRect(CGRectMake(point.x, point.y, 1, 1))) {
        if (attributes->representedElementCategory() == UICollectionElementCategoryCell
            && CGRectContainsPoint(attributes->frame(), point))
            return attributes->indexPath();
    }
    return nullptr;
}

Ref<UICollectionViewLayoutAttributes> UICollectionView::layoutAttributesForItemAtIndexPath(
    const Ref<NSIndexPath>& indexPath)
{
    prepareIfNeeded();
    return m_layout->layoutAttributesForItemAtIndexPath(indexPath);
}

// Selection

std::vector<Ref<NSIndexPath>> UICollectionView::indexPathsForSelectedItems() const
{
    return m_selection.sortedIndexPaths();
}

void UICollectionView::selectItemAtIndexPathAnimatedScrollPosition(
    const Ref<NSIndexPath>& indexPath, bool animated, UICollectionViewScrollPosition position)
{
    assertIsMainThread();
    // Selecting nil, or in a view that does not allow selection, changes nothing.
    auto path = validPath(indexPath);
    if (!path || !allowsSelection())
        return;
    m_selection.select(*path);
    if (position != UICollectionViewScrollPositionNone)
        scrollToItemAtIndexPathAtScrollPositionAnimated(indexPath, position, animated);
}

void UICollectionView::deselectItemAtIndexPathAnimated(const Ref<NSIndexPath>& indexPath, bool)
{
    assertIsMainThread();
    if (auto path = validPath(indexPath))
        m_selection.set(*path, false);
}

void UICollectionView::userSelectItemAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    assertIsMainThread();
    auto self = protectedView();
    auto path = validPath(indexPath);
    if (!path || !allowsSelection())
        return;
    // The delegate may only refuse: the item asked about is the one selected or deselected.
    m_selection.tap(*path,
        { .willSelect = [&](Path p) -> std::optional<Path> {
             auto* d = delegate();
             if (d && !d->collectionViewShouldSelectItemAtIndexPath(self, toIndexPath(p)))
                 return std::nullopt;
             return p;
         },
            .didSelect =
                [&](Path p) {
                    if (auto* d = delegate())
                        d->collectionViewDidSelectItemAtIndexPath(self, toIndexPath(p));
                },
            .willDeselect = [&](Path p) -> std::optional<Path> {
                auto* d = delegate();
                if (d && !d->collectionViewShouldDeselectItemAtIndexPath(self, toIndexPath(p)))
                    return std::nullopt;
                return p;
            },
            .didDeselect =
                [&](Path p) {
                    if (auto* d = delegate())
                        d->collectionViewDidDeselectItemAtIndexPath(self, toIndexPath(p));
                } });
}

void UICollectionView::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    // A touch that lifts without having dragged is a tap on the item under it.
    bool tap = isTapInProgress();
    UIScrollView::touchesEnded(touches, event);
    if (auto point = UIItemSelection::tapLocation(tap, touches, protectedView())) {
        if (auto indexPath = indexPathForItemAtPoint(*point))
            userSelectItemAtIndexPath(indexPath);
    }
}

void UICollectionView::scrollToItemAtIndexPathAtScrollPositionAnimated(
    const Ref<NSIndexPath>& indexPath, UICollectionViewScrollPosition position, bool animated)
{
    assertIsMainThread();
    prepareIfNeeded();
    auto attributes = validPath(indexPath) ? m_layout->layoutAttributesForItemAtIndexPath(indexPath) : nullptr;
    if (!attributes)
        NSException::raise(NSInvalidArgumentException,
            "attempt to scroll to invalid index path: "
                + (indexPath ? indexPath->description() : std::string("(null)")));
    CGRect frame = attributes->frame();
    CGSize size = bounds().size;
    CGPoint offset = contentOffset();
    if (position & UICollectionViewScrollPositionTop)
        offset.y = frame.origin.y;
    else if (position & UICollectionViewScrollPositionCenteredVertically)
        offset.y = CGRectGetMidY(frame) - size.height / 2;
    else if (position & UICollectionViewScrollPositionBottom)
        offset.y = CGRectGetMaxY(frame) - size.height;
    if (position & UICollectionViewScrollPositionLeft)
        offset.x = frame.origin.x;
    else if (position & UICollectionViewScrollPositionCenteredHorizontally)
        offset.x = CGRectGetMidX(frame) - size.width / 2;
    else if (position & UICollectionViewScrollPositionRight)
        offset.x = CGRectGetMaxX(frame) - size.width;
    if (position == UICollectionViewScrollPositionNone) {
        scrollRectToVisibleAnimated(frame, animated);
        return;
    }
    CGPoint min = minimumContentOffset();
    CGPoint max = maximumContentOffset();
    offset = CGPointMake(std::clamp(offset.x, min.x, max.x), std::clamp(offset.y, min.y, max.y));
    setContentOffsetAnimated(offset, animated);
}
