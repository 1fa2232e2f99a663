#pragma once

#include "graphics/UIGeometry.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIBatchUpdates.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UICollectionViewLayout.h"
#include "uikit/UIItemSelection.h"
#include "uikit/UIScrollView.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class UICollectionView;
class UINib;

using UICollectionViewScrollPosition = uint32_t;
inline constexpr UICollectionViewScrollPosition UICollectionViewScrollPositionNone = 0;
inline constexpr UICollectionViewScrollPosition UICollectionViewScrollPositionTop = 1 << 0;
inline constexpr UICollectionViewScrollPosition UICollectionViewScrollPositionCenteredVertically = 1 << 1;
inline constexpr UICollectionViewScrollPosition UICollectionViewScrollPositionBottom = 1 << 2;
inline constexpr UICollectionViewScrollPosition UICollectionViewScrollPositionLeft = 1 << 3;
inline constexpr UICollectionViewScrollPosition UICollectionViewScrollPositionCenteredHorizontally = 1 << 4;
inline constexpr UICollectionViewScrollPosition UICollectionViewScrollPositionRight = 1 << 5;

// Where a collection view's items come from. Counts and cells are required.
class UICollectionViewDataSource {
public:
    virtual ~UICollectionViewDataSource() = default;
    virtual int32_t numberOfSectionsInCollectionView(const Ref<UICollectionView>&) { return 1; }
    virtual int32_t collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, int32_t section) = 0;
    virtual Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(
        const Ref<UICollectionView>&, const Ref<NSIndexPath>&)
        = 0;
    virtual Ref<UICollectionReusableView> collectionViewViewForSupplementaryElementOfKindAtIndexPath(
        const Ref<UICollectionView>&, const std::string& /*kind*/, const Ref<NSIndexPath>&)
    {
        return nullptr;
    }
};

// What a collection view tells and asks its delegate; all optional.
class UICollectionViewDelegate : public UIScrollViewDelegate {
public:
    virtual bool collectionViewShouldHighlightItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>&)
    {
        return true;
    }
    virtual bool collectionViewShouldSelectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>&)
    {
        return true;
    }
    virtual void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>&) { }
    virtual bool collectionViewShouldDeselectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>&)
    {
        return true;
    }
    virtual void collectionViewDidDeselectItemAtIndexPath(const Ref<UICollectionView>&, const Ref<NSIndexPath>&) { }
    virtual void collectionViewWillDisplayCellForItemAtIndexPath(
        const Ref<UICollectionView>&, const Ref<UICollectionViewCell>&, const Ref<NSIndexPath>&)
    {
    }
    virtual void collectionViewDidEndDisplayingCellForItemAtIndexPath(
        const Ref<UICollectionView>&, const Ref<UICollectionViewCell>&, const Ref<NSIndexPath>&)
    {
    }
};

// The flow layout's questions to the delegate; nullopt keeps the layout's own value.
class UICollectionViewDelegateFlowLayout : public UICollectionViewDelegate {
public:
    virtual std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(
        const Ref<UICollectionView>&, UICollectionViewLayout*, const Ref<NSIndexPath>&)
    {
        return std::nullopt;
    }
    virtual std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> collectionViewLayoutMinimumLineSpacingForSectionAtIndex(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t)
    {
        return std::nullopt;
    }
    virtual std::optional<CGSize> collectionViewLayoutReferenceSizeForHeaderInSection(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t)
    {
        return std::nullopt;
    }
    virtual std::optional<CGSize> collectionViewLayoutReferenceSizeForFooterInSection(
        const Ref<UICollectionView>&, UICollectionViewLayout*, int32_t)
    {
        return std::nullopt;
    }
};

// A scroll view showing items where its layout puts them. Counts are asked on reload; cells
// only for the items on screen, and cells leaving the screen are kept for reuse by identifier.
// Item and section changes (insert, delete, reload, move) apply at once, or together at the end
// of performBatchUpdates: deletes, reloads and move sources name items as they were, inserts and
// move targets as they are after. The new counts are checked against the data source; changes
// that do not add up raise NSInternalInconsistencyException and the data is loaded again instead.
// Cells of items that survive keep their cells and selection. Every change is also recorded by
// name. Main thread only.
class UICollectionView : public UIScrollView {
    VX_OBJECT(UICollectionView, UIScrollView)
public:
    explicit UICollectionView(Passkey key)
        : UIScrollView(key)
    {
    }
    static Ref<UICollectionView> initWithFrameCollectionViewLayout(
        CGRect frame, const Ref<UICollectionViewLayout>& layout);

    void setDataSource(UICollectionViewDataSource* dataSource, Weak<NSObject> owner);
    UICollectionViewDataSource* dataSource() const { return m_dataSourceOwner.expired() ? nullptr : m_dataSource; }
    // The collection view's delegate is its scroll view delegate too.
    void setCollectionDelegate(UICollectionViewDelegate* delegate, Weak<NSObject> owner);
    UICollectionViewDelegate* delegate() const
    {
        return m_collectionDelegateOwner.expired() ? nullptr : m_collectionDelegate;
    }
    const Ref<UICollectionViewLayout>& collectionViewLayout() const { return m_layout; }
    void setCollectionViewLayout(const Ref<UICollectionViewLayout>& layout);
    const Ref<UIView>& backgroundView() const { return m_backgroundView; }
    void setBackgroundView(const Ref<UIView>& view) { m_backgroundView = view; }

    // Registration (a class, a layout name, or a factory) and dequeuing. Dequeuing an
    // identifier with no registration raises NSInternalInconsistencyException.
    template <typename T> void registerClassForCellWithReuseIdentifier(const std::string& identifier)
    {
        registerCellFactory(identifier, []() -> Ref<UICollectionReusableView> { return T::init(); });
    }
    void registerClassForCellWithReuseIdentifier(Class cls, const std::string& identifier);
    void registerNibForCellWithReuseIdentifier(const Ref<UINib>& nib, const std::string& identifier);
    void registerClassForSupplementaryViewOfKindWithReuseIdentifier(
        Class cls, const std::string& kind, const std::string& identifier);
    void registerCellFactory(const std::string& identifier, std::function<Ref<UICollectionReusableView>()> factory);
    Ref<UICollectionViewCell> dequeueReusableCellWithReuseIdentifierForIndexPath(
        const std::string& identifier, const Ref<NSIndexPath>& indexPath);
    Ref<UICollectionReusableView> dequeueReusableSupplementaryViewOfKindWithReuseIdentifierForIndexPath(
        const std::string& kind, const std::string& identifier, const Ref<NSIndexPath>& indexPath);

    void reloadData();
    int32_t numberOfSections();
    int32_t numberOfItemsInSection(int32_t section);
    void insertItemsAtIndexPaths(const std::vector<Ref<NSIndexPath>>& indexPaths);
    void deleteItemsAtIndexPaths(const std::vector<Ref<NSIndexPath>>& indexPaths);
    void reloadItemsAtIndexPaths(const std::vector<Ref<NSIndexPath>>& indexPaths);
    void moveItemAtIndexPathToIndexPath(const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to);
    void insertSections(const std::vector<int32_t>& sections);
    void deleteSections(const std::vector<int32_t>& sections);
    void reloadSections(const std::vector<int32_t>& sections);
    void moveSectionToSection(int32_t from, int32_t to);
    // Runs `updates` (which may be empty) and applies the changes it made together; the layout is
    // invalidated either way. `completion` gets true once the update's animation time (0.3 s on
    // the process clock, the next pass without animations) has passed; it is not called when the
    // changes were refused. Batches may nest; the outermost applies, and the completions of the
    // nested ones run with its own, innermost first.
    void performBatchUpdatesCompletion(const std::function<void()>& updates, std::function<void(bool)> completion);
    // Every reload and change asked for, by name ("reloadData", "insertItems" ...), oldest first.
    const std::vector<std::string>& recordedChanges() const { return m_recordedChanges; }

    std::vector<Ref<UICollectionViewCell>> visibleCells();
    std::vector<Ref<NSIndexPath>> indexPathsForVisibleItems();
    // The cell showing the item; nullptr for an item off screen.
    Ref<UICollectionViewCell> cellForItemAtIndexPath(const Ref<NSIndexPath>& indexPath);
    Ref<NSIndexPath> indexPathForCell(const Ref<UICollectionViewCell>& cell);
    Ref<NSIndexPath> indexPathForItemAtPoint(CGPoint point);
    Ref<UICollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(const Ref<NSIndexPath>& indexPath);

    bool allowsSelection() const { return m_selection.allowsSelection(); }
    void setAllowsSelection(bool v) { m_selection.setAllowsSelection(v); }
    bool allowsMultipleSelection() const { return m_selection.allowsMultipleSelection(); }
    void setAllowsMultipleSelection(bool v) { m_selection.setAllowsMultipleSelection(v); }
    std::vector<Ref<NSIndexPath>> indexPathsForSelectedItems() const;
    // In code: the delegate is not told.
    void selectItemAtIndexPathAnimatedScrollPosition(
        const Ref<NSIndexPath>& indexPath, bool animated, UICollectionViewScrollPosition position);
    void deselectItemAtIndexPathAnimated(const Ref<NSIndexPath>& indexPath, bool animated);
    // A tap on the item, as a touch makes it (asks and tells the delegate).
    void userSelectItemAtIndexPath(const Ref<NSIndexPath>& indexPath);

    void scrollToItemAtIndexPathAtScrollPositionAnimated(
        const Ref<NSIndexPath>& indexPath, UICollectionViewScrollPosition position, bool animated);

    void layoutSubviews() override;
    void setBounds(CGRect bounds) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;

protected:
    void didChangeContentOffset() override { setNeedsLayout(); }

private:
    using Path = UISectionedRows::Path; // (section, item)
    void queueItems(const char* name, const std::vector<Ref<NSIndexPath>>& indexPaths,
        std::vector<Path> UIBatchUpdates::Changes::*list);
    void queueSections(
        const char* name, const std::vector<int32_t>& sections, std::vector<int32_t> UIBatchUpdates::Changes::*list);
    void applyUnlessBatched();
    void applyUpdates(UIBatchUpdates::Changes changes);
    Ref<UICollectionView> protectedView() { return std::static_pointer_cast<UICollectionView>(shared_from_this()); }
    void ensureLoaded();
    UISectionedRows::Counts itemCountsFromDataSource();
    void endDisplaying(Path path, const Ref<UICollectionViewCell>& cell);
    void removeSupplementaryViews();
    void prepareIfNeeded();
    void layoutItems();
    void recordChange(const std::string& name);
    std::optional<Path> validPath(const Ref<NSIndexPath>& indexPath);
    Ref<UICollectionReusableView> dequeue(const std::string& key, const std::string& identifier);

    UICollectionViewDataSource* m_dataSource { nullptr };
    Weak<NSObject> m_dataSourceOwner;
    UICollectionViewDelegate* m_collectionDelegate { nullptr };
    Weak<NSObject> m_collectionDelegateOwner;
    Ref<UICollectionViewLayout> m_layout;
    Ref<UIView> m_backgroundView;
    std::map<std::string, std::function<Ref<UICollectionReusableView>()>> m_factories;
    std::map<std::string, std::vector<Ref<UICollectionReusableView>>> m_reusePool;
    std::vector<int32_t> m_itemCounts;
    bool m_needsReload { true };
    bool m_inLayout { false };
    std::map<Path, Ref<UICollectionViewCell>> m_visibleCells;
    std::map<std::pair<std::string, Path>, Ref<UICollectionReusableView>> m_visibleSupplementary;
    // Which items are selected, and how taps and code select them.
    UIItemSelection m_selection { UIItemSelection::markingCellsOf(m_visibleCells) };
    std::vector<std::string> m_recordedChanges;
    UIBatchUpdates m_updates;
    // The completions of the open batches, run together once the outermost applies.
    std::vector<std::function<void(bool)>> m_batchCompletions;
};
