#pragma once

#include "uikit/NSIndexPath.h"
#include "uikit/UIBatchUpdates.h"
#include "uikit/UIItemSelection.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITableViewCell.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class UINib;
class UITableView;
class UITableViewIndex;

enum UITableViewStyle : int32_t {
    UITableViewStylePlain = 0,
    UITableViewStyleGrouped = 1,
};

enum UITableViewRowAnimation : int32_t {
    UITableViewRowAnimationFade = 0,
    UITableViewRowAnimationRight = 1,
    UITableViewRowAnimationLeft = 2,
    UITableViewRowAnimationTop = 3,
    UITableViewRowAnimationBottom = 4,
    UITableViewRowAnimationNone = 5,
    UITableViewRowAnimationMiddle = 6,
    UITableViewRowAnimationAutomatic = 100,
};

enum UITableViewScrollPosition : int32_t {
    UITableViewScrollPositionNone = 0,
    UITableViewScrollPositionTop = 1,
    UITableViewScrollPositionMiddle = 2,
    UITableViewScrollPositionBottom = 3,
};

inline constexpr CGFloat UITableViewAutomaticDimension = -1;

// Where a table's rows come from. Counts and cells are required; the rest is optional.
class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;
    virtual int32_t numberOfSectionsInTableView(const Ref<UITableView>&) { return 1; }
    virtual int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t section) = 0;
    virtual Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) = 0;
    virtual std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, int32_t)
    {
        return std::nullopt;
    }
    virtual std::optional<std::string> tableViewTitleForFooterInSection(const Ref<UITableView>&, int32_t)
    {
        return std::nullopt;
    }
    // The titles of the section index shown at the table's right edge; none when empty.
    virtual std::vector<std::string> sectionIndexTitlesForTableView(const Ref<UITableView>&) { return {}; }
    // The section an index entry leads to (by default the entry's position); a section that
    // does not exist leaves the table where it is.
    virtual int32_t tableViewSectionForSectionIndexTitleAtIndex(
        const Ref<UITableView>&, const std::string& /*title*/, int32_t index)
    {
        return index;
    }
    virtual bool tableViewCanEditRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) { return true; }
    virtual bool tableViewCanMoveRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) { return true; }
    virtual void tableViewCommitEditingStyleForRowAtIndexPath(
        const Ref<UITableView>&, UITableViewCellEditingStyle, const Ref<NSIndexPath>&)
    {
    }
    // Rows can be reordered only by a data source that moves them: answer true when overriding
    // tableViewMoveRowAtIndexPathToIndexPath.
    virtual bool respondsToMoveRow() const { return false; }
    virtual void tableViewMoveRowAtIndexPathToIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& /*from*/, const Ref<NSIndexPath>& /*to*/)
    {
    }
};

// What a table tells and asks its delegate; all optional. Heights answered with nullopt fall
// back to the table's own (rowHeight, sectionHeaderHeight ...).
class UITableViewDelegate : public UIScrollViewDelegate {
public:
    virtual std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>&, int32_t)
    {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> tableViewHeightForFooterInSection(const Ref<UITableView>&, int32_t)
    {
        return std::nullopt;
    }
    virtual Ref<UIView> tableViewViewForHeaderInSection(const Ref<UITableView>&, int32_t) { return nullptr; }
    virtual Ref<UIView> tableViewViewForFooterInSection(const Ref<UITableView>&, int32_t) { return nullptr; }
    virtual void tableViewWillDisplayCellForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<UITableViewCell>&, const Ref<NSIndexPath>&)
    {
    }
    virtual void tableViewDidEndDisplayingCellForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<UITableViewCell>&, const Ref<NSIndexPath>&)
    {
    }
    // Answers the row to select instead; nullptr prevents the selection.
    virtual Ref<NSIndexPath> tableViewWillSelectRowAtIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
    {
        return indexPath;
    }
    virtual void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) { }
    virtual Ref<NSIndexPath> tableViewWillDeselectRowAtIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& indexPath)
    {
        return indexPath;
    }
    virtual void tableViewDidDeselectRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) { }
    virtual void tableViewAccessoryButtonTappedForRowWithIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) { }
    virtual std::optional<UITableViewCellEditingStyle> tableViewEditingStyleForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>&)
    {
        return std::nullopt;
    }
    virtual std::optional<std::string> tableViewTitleForDeleteConfirmationButtonForRowAtIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>&)
    {
        return std::nullopt;
    }
    // Answers where a row being dragged from `from` may go when it is over `proposed`.
    virtual Ref<NSIndexPath> tableViewTargetIndexPathForMoveFromRowAtIndexPathToProposedIndexPath(
        const Ref<UITableView>&, const Ref<NSIndexPath>& /*from*/, const Ref<NSIndexPath>& proposed)
    {
        return proposed;
    }
    virtual void tableViewWillBeginEditingRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) { }
    virtual void tableViewDidEndEditingRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) { }
};

// One change a table was asked to make, kept so tests can see what was animated and how.
struct UITableViewRecordedUpdate {
    enum class Kind {
        ReloadData,
        InsertRows,
        DeleteRows,
        ReloadRows,
        MoveRow,
        InsertSections,
        DeleteSections,
        ReloadSections
    };
    Kind kind;
    std::vector<std::pair<int32_t, int32_t>> indexPaths; // (section, row); for MoveRow: from, to
    std::vector<int32_t> sections;
    UITableViewRowAnimation animation { UITableViewRowAnimationNone };
};

// A scroll view showing rows in sections, in plain or grouped style. Geometry (every header,
// row and footer height) is asked of the data source and delegate on reloadData and again after
// each update; cells are asked for only for the rows on screen, and cells leaving the screen are
// kept by reuse identifier for dequeueReusableCellWithIdentifier.
//
// Updates (insert, delete, move, reload of rows and sections) given between beginUpdates and
// endUpdates apply together: deletes and reloads name the rows as they were, inserts name them
// as they become. At the end the data source's counts must agree with the updates, or the table
// raises NSInternalInconsistencyException and reloads instead.
//
// A hairline separator is drawn under each row on screen (inset by separatorInset); a plain
// table without a footer view also draws them below its last row, a row height apart, down to
// the bottom of the view. A data source with section index titles gets an index at the right
// edge (once the table has sectionIndexMinimumDisplayRowCount rows): touching an entry scrolls
// the entry's section to the top. Main thread only.
class UITableView : public UIScrollView {
    VX_OBJECT(UITableView, UIScrollView)
public:
    explicit UITableView(Passkey key)
        : UIScrollView(key)
    {
    }
    static Ref<UITableView> initWithFrameStyle(CGRect frame, UITableViewStyle style);
    static Ref<UITableView> initWithFrame(CGRect frame) { return initWithFrameStyle(frame, UITableViewStylePlain); }

    UITableViewStyle style() const { return m_style; }
    void setDataSource(UITableViewDataSource* dataSource, Weak<NSObject> owner);
    UITableViewDataSource* dataSource() const { return m_dataSourceOwner.expired() ? nullptr : m_dataSource; }
    // The table's delegate is its scroll view delegate too.
    void setTableDelegate(UITableViewDelegate* delegate, Weak<NSObject> owner);
    UITableViewDelegate* tableDelegate() const { return m_tableDelegateOwner.expired() ? nullptr : m_tableDelegate; }

    CGFloat rowHeight() const { return m_rowHeight; }
    void setRowHeight(CGFloat height)
    {
        m_rowHeight = height;
        setNeedsGeometry();
    }
    CGFloat sectionHeaderHeight() const { return m_sectionHeaderHeight; }
    void setSectionHeaderHeight(CGFloat height)
    {
        m_sectionHeaderHeight = height;
        setNeedsGeometry();
    }
    CGFloat sectionFooterHeight() const { return m_sectionFooterHeight; }
    void setSectionFooterHeight(CGFloat height)
    {
        m_sectionFooterHeight = height;
        setNeedsGeometry();
    }
    const Ref<UIView>& tableHeaderView() const { return m_tableHeaderView; }
    void setTableHeaderView(const Ref<UIView>& view);
    const Ref<UIView>& tableFooterView() const { return m_tableFooterView; }
    void setTableFooterView(const Ref<UIView>& view);
    const Ref<UIView>& backgroundView() const { return m_backgroundView; }
    void setBackgroundView(const Ref<UIView>& view) { m_backgroundView = view; }

    UITableViewCellSeparatorStyle separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(UITableViewCellSeparatorStyle style);
    // The separators' colour (a light grey by default).
    Ref<UIColor> separatorColor() const;
    void setSeparatorColor(const Ref<UIColor>& color);
    // Left and right are used (15 points from the left by default).
    UIEdgeInsets separatorInset() const { return m_separatorInset; }
    void setSeparatorInset(UIEdgeInsets insets);

    // The section index.
    void reloadSectionIndexTitles();
    int32_t sectionIndexMinimumDisplayRowCount() const { return m_sectionIndexMinimumDisplayRowCount; }
    void setSectionIndexMinimumDisplayRowCount(int32_t count);
    const Ref<UIColor>& sectionIndexColor() const { return m_sectionIndexColor; }
    void setSectionIndexColor(const Ref<UIColor>& color);
    const Ref<UIColor>& sectionIndexBackgroundColor() const { return m_sectionIndexBackgroundColor; }
    void setSectionIndexBackgroundColor(const Ref<UIColor>& color);
    const Ref<UIColor>& sectionIndexTrackingBackgroundColor() const { return m_sectionIndexTrackingBackgroundColor; }
    void setSectionIndexTrackingBackgroundColor(const Ref<UIColor>& color);
    // The index view while it is shown; nullptr otherwise.
    Ref<UIView> sectionIndexView() const;
    // Touches on the section index do not drag the table.
    bool dragMayStartWithTouch(const Ref<UITouch>& touch) const override;

    // Registration. A registered class or layout makes a cell when dequeuing finds none to reuse.
    template <typename T> void registerClassForCellReuseIdentifier(const std::string& identifier)
    {
        registerCellFactory(identifier, [](const std::string& id) -> Ref<UITableViewCell> {
            return T::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, id);
        });
    }
    // A class registered by name (it must be creatable and a cell); nullptr clears.
    void registerClassForCellReuseIdentifier(Class cls, const std::string& identifier);
    // The layout's first top-level cell; nullptr clears.
    void registerNibForCellReuseIdentifier(const Ref<UINib>& nib, const std::string& identifier);
    void registerCellFactory(
        const std::string& identifier, std::function<Ref<UITableViewCell>(const std::string&)> factory);

    // A cell kept for reuse (prepared for reuse), else one made by the registration, else nullptr.
    Ref<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    // The same, but never nullptr: raises NSInternalInconsistencyException for an identifier
    // with no registration.
    Ref<UITableViewCell> dequeueReusableCellWithIdentifierForIndexPath(
        const std::string& identifier, const Ref<NSIndexPath>& indexPath);

    // Data and geometry.
    void reloadData();
    int32_t numberOfSections();
    int32_t numberOfRowsInSection(int32_t section);
    CGRect rectForSection(int32_t section);
    CGRect rectForHeaderInSection(int32_t section);
    CGRect rectForFooterInSection(int32_t section);
    CGRect rectForRowAtIndexPath(const Ref<NSIndexPath>& indexPath);
    Ref<NSIndexPath> indexPathForRowAtPoint(CGPoint point);
    std::vector<Ref<NSIndexPath>> indexPathsForRowsInRect(CGRect rect);
    Ref<NSIndexPath> indexPathForCell(const Ref<UITableViewCell>& cell);
    // The cell showing the row; nullptr for a row off screen.
    Ref<UITableViewCell> cellForRowAtIndexPath(const Ref<NSIndexPath>& indexPath);
    std::vector<Ref<UITableViewCell>> visibleCells();
    std::vector<Ref<NSIndexPath>> indexPathsForVisibleRows();
    Ref<UIView> headerViewForSection(int32_t section);
    Ref<UIView> footerViewForSection(int32_t section);

    // Updates.
    void beginUpdates();
    void endUpdates();
    void insertRowsAtIndexPathsWithRowAnimation(
        const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation);
    void deleteRowsAtIndexPathsWithRowAnimation(
        const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation);
    void reloadRowsAtIndexPathsWithRowAnimation(
        const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation);
    void moveRowAtIndexPathToIndexPath(const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to);
    void insertSectionsWithRowAnimation(const std::vector<int32_t>& sections, UITableViewRowAnimation animation);
    void deleteSectionsWithRowAnimation(const std::vector<int32_t>& sections, UITableViewRowAnimation animation);
    void reloadSectionsWithRowAnimation(const std::vector<int32_t>& sections, UITableViewRowAnimation animation);
    // Everything asked of the table so far (reloads and updates), oldest first.
    const std::vector<UITableViewRecordedUpdate>& recordedUpdates() const { return m_recordedUpdates; }
    void clearRecordedUpdates() { m_recordedUpdates.clear(); }

    // Editing.
    bool isEditing() const { return m_editing; }
    void setEditing(bool editing) { setEditingAnimated(editing, false); }
    void setEditingAnimated(bool editing, bool animated);
    bool allowsSelectionDuringEditing() const { return m_allowsSelectionDuringEditing; }
    void setAllowsSelectionDuringEditing(bool v) { m_allowsSelectionDuringEditing = v; }
    // The user confirming the delete button of a row: the data source commits the delete
    // (it then deletes the row from the table). False when the row cannot be deleted.
    bool userCommitDeleteOfRowAtIndexPath(const Ref<NSIndexPath>& indexPath);
    // The user dragging a row by its reorder control and dropping it over `proposed`: the
    // delegate may redirect it, the data source moves it, and the table follows without asking
    // again. Answers where it went; nullptr when the row cannot move.
    Ref<NSIndexPath> userMoveRowAtIndexPathToProposedIndexPath(
        const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& proposed);

    // Selection. Selecting in code does not tell the delegate; taps do.
    bool allowsSelection() const { return m_selection.allowsSelection(); }
    void setAllowsSelection(bool v) { m_selection.setAllowsSelection(v); }
    bool allowsMultipleSelection() const { return m_selection.allowsMultipleSelection(); }
    void setAllowsMultipleSelection(bool v) { m_selection.setAllowsMultipleSelection(v); }
    Ref<NSIndexPath> indexPathForSelectedRow() const;
    std::vector<Ref<NSIndexPath>> indexPathsForSelectedRows() const;
    void selectRowAtIndexPathAnimatedScrollPosition(
        const Ref<NSIndexPath>& indexPath, bool animated, UITableViewScrollPosition position);
    void deselectRowAtIndexPathAnimated(const Ref<NSIndexPath>& indexPath, bool animated);
    // A tap on the row, as a touch would make it (asks and tells the delegate).
    void userSelectRowAtIndexPath(const Ref<NSIndexPath>& indexPath);

    void scrollToRowAtIndexPathAtScrollPositionAnimated(
        const Ref<NSIndexPath>& indexPath, UITableViewScrollPosition position, bool animated);
    void scrollToNearestSelectedRowAtScrollPositionAnimated(UITableViewScrollPosition position, bool animated);

    void layoutSubviews() override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;

protected:
    void didChangeContentOffset() override { setNeedsLayout(); }

private:
    using Path = UISectionedRows::Path; // (section, row)
    struct SectionGeometry {
        CGFloat top { 0 };
        CGFloat header { 0 };
        CGFloat footer { 0 };
        std::vector<CGFloat> rowTops;
        std::vector<CGFloat> rowHeights;
        CGFloat height { 0 };
    };

    Ref<UITableView> protectedTable() { return std::static_pointer_cast<UITableView>(shared_from_this()); }
    void setNeedsGeometry();
    void ensureGeometry();
    void computeGeometry();
    UISectionedRows::Counts rowCountsFromDataSource(UITableViewDataSource* ds);
    void removeSectionViews();
    std::optional<Path> validPath(const Ref<NSIndexPath>& indexPath);
    CGRect rowRect(Path path);
    void layoutCells();
    void enqueueCell(const Ref<UITableViewCell>& cell);
    void endDisplaying(Path path, const Ref<UITableViewCell>& cell);
    void applyUpdates(UIBatchUpdates::Changes changes);
    void recordUpdate(UITableViewRecordedUpdate record);
    // Records an update, queues it in `list` of the pending updates, and applies the pending
    // updates at once unless inside begin/end updates.
    void queueRowUpdate(UITableViewRecordedUpdate::Kind kind, const std::vector<Ref<NSIndexPath>>& indexPaths,
        UITableViewRowAnimation animation, std::vector<Path> UIBatchUpdates::Changes::*list);
    void queueSectionUpdate(UITableViewRecordedUpdate::Kind kind, const std::vector<int32_t>& sections,
        UITableViewRowAnimation animation, std::vector<int32_t> UIBatchUpdates::Changes::*list);
    void applyUpdatesUnlessBatched();
    void layoutSectionViews(CGRect visible);
    void layoutSeparators(CGRect visible);
    void layoutSectionIndex(CGRect visible);
    void sectionIndexSelected(int32_t entry);
    void updateIndexColors();

    UITableViewStyle m_style { UITableViewStylePlain };
    UITableViewDataSource* m_dataSource { nullptr };
    Weak<NSObject> m_dataSourceOwner;
    UITableViewDelegate* m_tableDelegate { nullptr };
    Weak<NSObject> m_tableDelegateOwner;
    CGFloat m_rowHeight { 44 };
    CGFloat m_sectionHeaderHeight { 22 };
    CGFloat m_sectionFooterHeight { 22 };
    Ref<UIView> m_tableHeaderView;
    Ref<UIView> m_tableFooterView;
    Ref<UIView> m_backgroundView;

    std::map<std::string, std::function<Ref<UITableViewCell>(const std::string&)>> m_factories;
    std::map<std::string, std::vector<Ref<UITableViewCell>>> m_reusePool;

    bool m_needsGeometry { true };
    bool m_needsReload { true };
    std::vector<int32_t> m_rowCounts;
    std::vector<SectionGeometry> m_sections;
    CGFloat m_contentTop { 0 };
    std::map<Path, Ref<UITableViewCell>> m_visibleCells;
    std::map<int32_t, Ref<UIView>> m_headerViews;
    std::map<int32_t, Ref<UIView>> m_footerViews;
    // Which rows are selected, and how taps and code select them.
    UIItemSelection m_selection { UIItemSelection::markingCellsOf(m_visibleCells) };
    std::vector<UITableViewRecordedUpdate> m_recordedUpdates;
    UIBatchUpdates m_updates;
    bool m_editing { false };
    bool m_allowsSelectionDuringEditing { false };
    bool m_inLayout { false };

    UITableViewCellSeparatorStyle m_separatorStyle { UITableViewCellSeparatorStyleSingleLine };
    Ref<UIColor> m_separatorColor;
    UIEdgeInsets m_separatorInset { 0, 15, 0, 0 };
    std::vector<Ref<UIView>> m_separators;

    std::vector<std::string> m_indexTitles;
    Ref<UITableViewIndex> m_index;
    int32_t m_sectionIndexMinimumDisplayRowCount { 0 };
    Ref<UIColor> m_sectionIndexColor;
    Ref<UIColor> m_sectionIndexBackgroundColor;
    Ref<UIColor> m_sectionIndexTrackingBackgroundColor;
};
