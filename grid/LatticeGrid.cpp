// LatticeGrid: set-up and teardown, properties, cells, counts, frozen rows and columns,
// sections, row stepping, orientation and the selection record.
#include "grid/LatticeGrid.h"

#include "grid/LGridDoubleTapGestureRecognizer.h"
#include "grid/LGridMultiTouchRecognizer.h"
#include "uikit/UILongPressGestureRecognizer.h"

#include "foundation/NSException.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/ThreadChecks.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"
#include "grid/LGridBlockQueue.h"
#include "grid/LGridBorderStyle.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellPool.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridColourBlender.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSource.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridLayer.h"
#include "grid/LGridLineStyle.h"
#include "grid/LGridSection.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LGridStyleMerge.h"
#include "grid/LGridViewTinter.h"
#include "grid/LatticeGridLog.h"
#include "uikit/UIDevice.h"
#include "uikit/UIImageView.h"
#include "uikit/UIKeyboard.h"

#include <algorithm>

namespace {

constexpr const char* kLibraryVersion = "2.0.2";

Ref<UIColor> orange()
{
    return UIColor::colorWithRedGreenBlueAlpha(255 / 255.0f, 104 / 255.0f, 35 / 255.0f, 1);
}

} // namespace

Ref<LatticeGrid> LatticeGrid::initWithFrame(CGRect frame)
{
    auto grid = makeScrollView<LatticeGrid>(frame);
    grid->commonInit();
    return grid;
}

LatticeGrid::~LatticeGrid()
{
    cancelPreviousPerformRequestsWithTarget(this);
    if (m_activeArrowsPurgeTarget)
        cancelPreviousPerformRequestsWithTarget(m_activeArrowsPurgeTarget);
    NSNotificationCenter::defaultCenter()->removeObserver(this);
    m_dataSourceDelegateManager = nullptr;
    LGridCellPool::reset();
}

std::string LatticeGrid::getInfo()
{
    std::string version = kLibraryVersion;
    return NSString::stringWithFormat(
        "Version: %s, Edition: %@", version.empty() ? "Unversioned" : version.c_str(), Value("Standard"));
}

void LatticeGrid::commonInit()
{
    auto self = protectedGrid();
    m_delayUntilReloadQueue = LGridBlockQueue::init();
    m_activeArrows.clear();
    m_activeArrowsPurgeTarget = NSObject::init();
    m_needsDrawArrows = true;
    m_dataSourceDelegateManager = LGridDataSourceDelegateManager::initWithGrid(self);
    m_defaultBorderStyle = LGridBorderStyle::init();
    UIScrollView::setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(26 / 255.0f, 25 / 255.0f, 25 / 255.0f, 1));
    m_defaultGridLineStyle = LGridLineStyle::init();
    m_defaultSectionHeaderStyle = LGridSectionHeaderStyle::init();
    m_defaultRowStyle = LGridColRowStyle::init();
    startObservingSize(m_defaultRowStyle);
    m_initialDefaultRowHeight = m_defaultRowStyle->size();
    m_defaultColumnStyle = LGridColRowStyle::init();
    startObservingSize(m_defaultColumnStyle);
    m_initialDefaultColWidth = m_defaultColumnStyle->size();
    m_defaultSelectedCellStyle = LGridCellStyle::init();
    m_defaultSelectedCellStyle->setBackgroundColor(orange());
    UIScrollView::setDelegate(this, self);
    UIScrollView::setScrollEnabled(false);
    m_masterContent = UIView::init();
    UIScrollView::setShowsVerticalScrollIndicator(false);
    UIScrollView::setShowsHorizontalScrollIndicator(false);
    m_verticallyFrozenLayer = LGridLayer::initWithFreezeWithGrid(LGridFreezeTypeVertical, self);
    m_verticallyFrozenLayer->setDelegate(this, self);
    m_horizontallyFrozenLayer = LGridLayer::initWithFreezeWithGrid(LGridFreezeTypeHorizontal, self);
    m_horizontallyFrozenLayer->setDelegate(this, self);
    m_staticLayer = LGridLayer::initWithFreezeWithGrid(LGridFreezeTypeStatic, self);
    m_staticLayer->setDelegate(this, self);
    m_liquidLayer = LGridLayer::initWithFreezeWithGrid(LGridFreezeTypeNone, self);
    m_liquidLayer->setDelegate(this, self);
    m_verticalScrollIndicatorLayer = LGridScrollIndicatorLayer::initAsVerticalIndicatorWithGrid(true, self);
    m_horizontalScrollIndicatorLayer = LGridScrollIndicatorLayer::initAsVerticalIndicatorWithGrid(false, self);
    setScrollsToTop(false);
    auto center = NSNotificationCenter::defaultCenter();
    center->addObserver(self, &LatticeGrid::keyboardWillShow, std::string(UIKeyboardWillShowNotification), nullptr);
    center->addObserver(self, &LatticeGrid::keyboardWillHide, std::string(UIKeyboardWillHideNotification), nullptr);
    UIDevice::currentDevice()->beginGeneratingDeviceOrientationNotifications();
    center->addObserver(self, &LatticeGrid::handleOrientationNotification,
        std::string(UIDeviceOrientationDidChangeNotification), nullptr);
    m_colResizingFloater = UIImageView::initWithFrame(CGRectZero);
    m_colResizingFloater->setAlpha(0.5f);
    m_colResizingFloater->setBackgroundColor(orange());
    m_masterContent->addSubview(m_colResizingFloater);
    m_blendsDelegateRowStylesWithDefaultRowStyle = true;
    m_enableBlending = false;
    m_backgroundColorBlender = LGridColourBlender::init();
    m_textColorBlender = LGridColourBlender::init();
    m_tinter = LGridViewTinter::init();
    m_tinter->moveToView(m_liquidLayer);
    setTintColor(nullptr);
    setDirectionalLockAllowDiagonalPanning(true);
    setAutoresizesSubviews(false);
    m_initialLoad = true;
    m_defaultColumnStyle->setMinimumSize(60.0f);
    m_defaultRowStyle->setMinimumSize(60.0f);
    setUpGestureRecognizers();
}

// Data source and delegate

Ref<LGridDataSource> LatticeGrid::dataSource() const
{
    return m_dataSourceDelegateManager->dataSource();
}

void LatticeGrid::setDataSource(const Ref<LGridDataSource>& dataSource)
{
    m_dataSourceDelegateManager->setDataSource(dataSource);
    if (dataSource) {
        m_frozenRowsStillNeedsValidation = true;
        m_frozenColumnsStillNeedsValidation = true;
    }
}

Ref<LGridDelegate> LatticeGrid::delegate() const
{
    return m_dataSourceDelegateManager ? m_dataSourceDelegateManager->delegate() : nullptr;
}

void LatticeGrid::setDelegate(const Ref<LGridDelegate>& delegate)
{
    m_dataSourceDelegateManager->setDelegate(delegate);
    if (m_dataSourceDelegateManager->hasDataSource()) {
        if ((m_defaultPermittedDragDirection & 1)
            && !(delegate && delegate->respondsToSelector("latticeGrid:colAtIndex:hasBeenSwitchedWithColAtIndex:")))
            LatticeGridLog::logMessageFromSource(
                "Ensure that the delegate method latticeGrid:colAtIndex:hasBeenSwitchedWithColAtIndex: is implemented "
                "so that you can keep your data source updated with column switching.",
                this);
        if ((m_defaultPermittedDragDirection & 2)
            && !(delegate && delegate->respondsToSelector("latticeGrid:row:hasBeenSwitchedWithRow:")))
            LatticeGridLog::logMessageFromSource(
                "Ensure that the delegate method latticeGrid:row:hasBeenSwitchedWithRow: is implemented so that you "
                "can keep your data source updated with row switching.",
                this);
    }
    setHoldToOrderEnabledAppropriately();
}

void LatticeGrid::setZoomDelegate(UIScrollViewDelegate* delegate, Weak<NSObject> owner)
{
    UIScrollView::setDelegate(delegate, std::move(owner));
}

// Cells

Ref<LGridCell> LatticeGrid::dequeueReusableCellWithIdentifier(const std::optional<std::string>& identifier)
{
    if (!identifier)
        LatticeGridLog::fatalLogMessageFromSource(
            "dequeueReusableCellWithIdentifier: identifier must not be nil", this);
    m_poolDequeCalled = true;
    return LGridCellPool::getCellWithIdentifier(*identifier);
}

Ref<LGridCell> LatticeGrid::visibleCellAtColAndRowPrivate(int32_t column, LGridRow row, bool isPrivate)
{
    if (!isPrivate && m_dataSourceDelegateManager->sectionIsEmpty(row.section))
        return nullptr;
    if (!cellCoordIsValidAtColAndRow(column, row))
        return nullptr;
    if (sectionAtIndexIsCollapsed(static_cast<uint32_t>(row.section)))
        return nullptr;
    return m_dataSourceDelegateManager->loadAndRetrieveCellAtColAtRow(column, row);
}

Ref<LGridCell> LatticeGrid::visibleCellAtCoord(const Ref<LGridCoord>& coord)
{
    return coord ? visibleCellAtColAndRowPrivate(coord->column(), coord->row(), true) : nullptr;
}

Ref<LGridCell> LatticeGrid::loadAndRetrieveCellAtColAtRow(int32_t column, LGridRow row)
{
    return m_dataSourceDelegateManager->loadAndRetrieveCellAtColAtRow(column, row);
}

std::vector<Ref<LGridCellStyle>> LatticeGrid::unselectedStyleHierarchyForCell(const Ref<LGridCell>& cell)
{
    return m_dataSourceDelegateManager->unselectedStyleHierarchyForCell(cell);
}

Ref<LGridCellStyle> LatticeGrid::blendedStyleFromHierarchyCellIsSelected(
    const std::vector<Ref<LGridCellStyle>>& hierarchy, bool)
{
    return blendedStyleFromHierarchy(hierarchy, *m_backgroundColorBlender, *m_textColorBlender);
}

// Reload and redraw

void LatticeGrid::reloadRows(const Value& rows)
{
    m_dataSourceDelegateManager->redrawRowsForceDataSourceCheck(rows, true);
}

void LatticeGrid::reloadColsAtIndices(const Value& columns)
{
    m_dataSourceDelegateManager->redrawColsAtIndicesForceDataSourceCheck(columns, true);
}

void LatticeGrid::redrawRows(const Value& rows)
{
    m_dataSourceDelegateManager->redrawRowsForceDataSourceCheck(rows, false);
}

void LatticeGrid::redrawColsAtIndices(const Value& columns)
{
    m_dataSourceDelegateManager->redrawColsAtIndicesForceDataSourceCheck(columns, false);
}

void LatticeGrid::setNeedsDisplay()
{
    UIScrollView::setNeedsDisplay();
    for (const auto& layer : layers())
        layer->setNeedsDisplay();
}

// Counts

int32_t LatticeGrid::numberOfColumns()
{
    return m_dataSourceDelegateManager->totalNumberOfColumnsInGrid();
}

int32_t LatticeGrid::numberOfSections()
{
    return m_dataSourceDelegateManager->totalNumberOfSectionsInGrid();
}

uint32_t LatticeGrid::numberOfRowsForSectionPrivate(int32_t section, bool isPrivate)
{
    if (section < 0 || section >= numberOfSections())
        return NSNotFound;
    if (!isPrivate && m_dataSourceDelegateManager->sectionIsEmpty(section))
        return 0;
    return static_cast<uint32_t>(m_dataSourceDelegateManager->numberOfRowsInSection(section));
}

// Frozen rows and columns, validity

bool LatticeGrid::rowIsFrozen(LGridRow row)
{
    return m_dataSourceDelegateManager->absoluteIndexForGridRow(row) < m_numberOfFrozenRows;
}

LGridRow LatticeGrid::lastFrozenRow()
{
    if (m_innerNumberOfFrozenRows != 0 && numberOfColumns() > 0)
        return m_dataSourceDelegateManager->gridRowForRowWithAbsoluteIndex(m_innerNumberOfFrozenRows - 1);
    return LGridRowMake(-1, -1);
}

void LatticeGrid::freezeRowsAboveAndIncludingRow(LGridRow row)
{
    setNumberOfFrozenRows(m_dataSourceDelegateManager->absoluteIndexForGridRow(row) + 1);
}

bool LatticeGrid::rowIsValidAndVisible(LGridRow row, bool visible)
{
    uint32_t count = numberOfRowsForSection(row.section);
    if (count == NSNotFound || row.index < 0 || static_cast<uint32_t>(row.index) >= count)
        return false;
    if (!visible || rowIsFrozen(row))
        return true;
    return LGridRowGreaterThanOrEqualToRow(row, firstVisibleNonFrozenRow())
        && LGridRowLessThanOrEqualToRow(row, lastVisibleRow());
}

bool LatticeGrid::colIsValidAndVisible(int32_t column, bool visible)
{
    if (column < 0 || column >= numberOfColumns())
        return false;
    if (!visible || colIsFrozen(column))
        return true;
    return column >= firstVisibleNonFrozenColumnIndex() && column <= lastVisibleColumnIndex();
}

bool LatticeGrid::cellCoordIsValidAtColAndRow(int32_t column, LGridRow row)
{
    return rowIsValidAndVisible(row, true) && colIsValidAndVisible(column, true);
}

void LatticeGrid::setNumberOfFrozenRows(uint32_t count)
{
    if (count == m_numberOfFrozenRows)
        return;
    m_numberOfFrozenRows = count;
    m_frozenRowsStillNeedsValidation = true;
}

void LatticeGrid::setNumberOfFrozenColumns(uint32_t count)
{
    if (count == m_numberOfFrozenColumns)
        return;
    m_numberOfFrozenColumns = count;
    m_frozenColumnsStillNeedsValidation = true;
}

// Sections

bool LatticeGrid::sectionIsValidWithIndex(uint32_t index)
{
    int32_t sections = m_dataSourceDelegateManager->totalNumberOfSectionsInGrid();
    return sections > 0 && index < static_cast<uint32_t>(sections);
}

void LatticeGrid::assertSectionIndexValid(uint32_t index)
{
    if (sectionIsValidWithIndex(index))
        return;
    LatticeGridLog::fatalLogMessageFromSource(
        NSString::stringWithFormat("The method %s cannot take an index that does not exist in the LatticeGrid - "
                                   "section at index %lu does not exist in this LatticeGrid.",
            "-[LatticeGrid assertSectionIndexValid:]", index),
        this);
}

void LatticeGrid::setSectionAtIndexAsCollapsedQueueIfInvalid(uint32_t index, bool collapsed, bool queueIfInvalid)
{
    // With a data source the section count is known now: a bad index is refused here rather than
    // by the queued call in the next layout pass. Without one the call waits for the data.
    if (m_dataSourceDelegateManager->hasDataSource())
        assertSectionIndexValid(index);
    if (queueIfInvalid && (!sectionIsValidWithIndex(index) || m_visibleRowIndexes.empty())) {
        m_delayUntilReloadQueue->addBlock([weak = weak_from_this(), index, collapsed] {
            if (auto grid = std::static_pointer_cast<LatticeGrid>(weak.lock()))
                grid->setSectionAtIndexAsCollapsedQueueIfInvalid(index, collapsed, false);
        });
        return;
    }
    assertSectionIndexValid(index);
    auto section = m_dataSourceDelegateManager->sectionAtIndex(static_cast<int32_t>(index));
    if (section && section->isCollapsed() != collapsed)
        section->collapseOrExpandProgrammaticWithCompletion(true, nullptr);
}

bool LatticeGrid::sectionAtIndexIsCollapsed(uint32_t index)
{
    assertSectionIndexValid(index);
    auto section = m_dataSourceDelegateManager->sectionAtIndex(static_cast<int32_t>(index));
    return section && section->isCollapsed();
}

Ref<LGridSection> LatticeGrid::firstUncollapsedSection()
{
    int32_t sections = numberOfSections();
    for (int32_t s = 0; s < sections; ++s) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(s);
        if (section && !section->isCollapsed())
            return section;
    }
    return nullptr;
}

Ref<LGridSection> LatticeGrid::lastUncollapsedSection()
{
    for (int32_t s = numberOfSections() - 1; s >= 0; --s) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(s);
        if (section && !section->isCollapsed())
            return section;
    }
    return nullptr;
}

bool LatticeGrid::rowIsInLastUncollapsedSection(LGridRow row)
{
    auto section = lastUncollapsedSection();
    return section && row.section == section->index() && row.index == section->numberOfRows() - 1;
}

void LatticeGrid::decrementNumberOfCollapsedSections()
{
    if (m_numberOfSectionsCollapsed > 0)
        --m_numberOfSectionsCollapsed;
}

// Stepping from row to row

LGridRow LatticeGrid::findRowAfterRow(LGridRow row)
{
    if (row.index < 0 || row.section < 0)
        return LGridRowMake(0, 0);
    auto section = m_dataSourceDelegateManager->sectionAtIndex(row.section);
    int32_t count = section ? section->numberOfRows() : 0;
    if (row.index == count - 1)
        return LGridRowMake(0, row.section + 1);
    if (row.index >= count - 1)
        throw NSException("Row Search", "Something went wrong when finding next row");
    return LGridRowMake(row.index + 1, row.section);
}

LGridRow LatticeGrid::findRowBeforeRow(LGridRow row)
{
    if (row.index > 0)
        return LGridRowMake(row.index - 1, row.section);
    if (row.index < 0)
        throw NSException("Row Search", "Something went wrong when finding prev row");
    if (row.section <= 0)
        return LGridRowMake(0, 0);
    int32_t previous = row.section - 1;
    return LGridRowMake(m_dataSourceDelegateManager->numberOfRowsInSection(previous) - 1, previous);
}

LGridRow LatticeGrid::findRowAfterRowIgnoringCollapsedSections(LGridRow row, bool ignoring)
{
    LGridRow next = findRowAfterRow(row);
    if (!ignoring)
        return next;
    while (true) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(next.section);
        if (!section || !section->isCollapsed())
            return next;
        next = findRowAfterRow(next);
    }
}

LGridRow LatticeGrid::findRowBeforeRowIgnoringCollapsedSections(LGridRow row, bool ignoring)
{
    LGridRow previous = findRowBeforeRow(row);
    if (!ignoring)
        return previous;
    while (true) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(previous.section);
        if (!section || !section->isCollapsed())
            return previous;
        if (previous == LGridRowMake(0, 0))
            return LGridRowMake(-1, -1);
        previous = findRowBeforeRow(previous);
    }
}

// Zoom

void LatticeGrid::setMinimumZoomScale(float)
{
    UIScrollView::setMinimumZoomScale(1.0f);
    LatticeGridLog::logMessageFromSource("Zooming is not currently supported by LatticeGrids.", this);
}

void LatticeGrid::setMaximumZoomScale(float)
{
    UIScrollView::setMaximumZoomScale(1.0f);
    LatticeGridLog::logMessageFromSource("Zooming is not currently supported by LatticeGrids.", this);
}

// Orientation

void LatticeGrid::handleOrientationNotification(const Ref<NSNotification>&)
{
    auto orientation = static_cast<int32_t>(UIDevice::currentDevice()->orientation());
    if (orientation == m_lastOrientation || orientation < 1 || orientation > 4)
        return;
    m_lastOrientation = orientation;
    orientationChanged();
}

void LatticeGrid::orientationChanged()
{
    ++m_orientationChangeCount;
    cancelEditing();
    cancelGestures();
}

void LatticeGrid::cancelGestures()
{
    resetHoldToReorder();
    const std::vector<Ref<UIGestureRecognizer>> recognizers { m_doubleTapToEdit, m_singleTapToSelect, m_holdToReorder,
        m_resizeGesture };
    for (const auto& recognizer : recognizers) {
        if (!recognizer)
            continue;
        bool enabled = recognizer->isEnabled();
        recognizer->setEnabled(false);
        recognizer->setEnabled(enabled);
    }
    m_activeArrows.clear();
    m_panDecision = 0;
}

// Properties

void LatticeGrid::setDefaultGridLineStyle(const Ref<LGridLineStyle>& style)
{
    if (!style)
        LatticeGridLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("%s: style can't be nil", "-[LatticeGrid setDefaultGridLineStyle:]"), this);
    m_defaultGridLineStyle = style;
}

void LatticeGrid::setDefaultRowStyle(const Ref<LGridColRowStyle>& style)
{
    float v = 0;
    if (style && style->size())
        v = *style->size();
    else if (m_defaultRowStyle && m_defaultRowStyle->minimumSize())
        v = *m_defaultRowStyle->minimumSize();
    if (!style || v <= 0) {
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat(
                "An attempt to set defaultRowStyle.size to %f has been made.\ndefaultRowStyle.size "
                "must be a positive non-zero number. %s will be used instead.",
                static_cast<double>(v), m_defaultRowStyle->size() ? "Default row size" : "Auto-size"),
            this);
        return;
    }
    privateSetDefaultRowStyle(style);
    m_userSetDefaultRowStyle = true;
}

void LatticeGrid::setDefaultColumnStyle(const Ref<LGridColRowStyle>& style)
{
    float v = 0;
    if (style && style->size())
        v = *style->size();
    else if (m_defaultColumnStyle && m_defaultColumnStyle->minimumSize())
        v = *m_defaultColumnStyle->minimumSize();
    if (!style || v <= 0) {
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat("An attempt to set defaultColumnStyles.size to %f has been "
                                       "made.\ndefaultColumnStyles.size must be a positive non-zero number. %s will be "
                                       "used instead.",
                static_cast<double>(v), m_defaultColumnStyle->size() ? "Default column size" : "Auto-size"),
            this);
        return;
    }
    privateSetDefaultColStyle(style);
    m_userSetDefaultColStyle = true;
}

void LatticeGrid::stopObservingSize(const Ref<LGridColRowStyle>& style)
{
    if (style)
        style->removeObserver(self<LatticeGrid>(), "size");
}

void LatticeGrid::startObservingSize(const Ref<LGridColRowStyle>& style)
{
    if (style)
        style->addObserver(self<LatticeGrid>(), "size", NSObject::NSKeyValueObservingOptionNew, nullptr);
}

void LatticeGrid::privateSetDefaultRowStyle(const Ref<LGridColRowStyle>& style)
{
    if (style == m_defaultRowStyle)
        return;
    stopObservingSize(m_defaultRowStyle);
    m_defaultRowStyle = style;
    startObservingSize(m_defaultRowStyle);
}

void LatticeGrid::privateSetDefaultColStyle(const Ref<LGridColRowStyle>& style)
{
    if (style == m_defaultColumnStyle)
        return;
    stopObservingSize(m_defaultColumnStyle);
    m_defaultColumnStyle = style;
    startObservingSize(m_defaultColumnStyle);
}

void LatticeGrid::observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>& object, const Value&, void*)
{
    if (keyPath != "size")
        return;
    if (object == m_defaultRowStyle) {
        m_initialDefaultRowHeight = m_defaultRowStyle->size();
        m_userSetDefaultRowStyle = true;
    } else if (object == m_defaultColumnStyle) {
        m_initialDefaultColWidth = m_defaultColumnStyle->size();
        m_userSetDefaultColStyle = true;
    }
}

std::optional<float> LatticeGrid::minimumRowHeight() const
{
    return m_defaultRowStyle->minimumSize();
}

void LatticeGrid::setMinimumRowHeight(std::optional<float> height)
{
    if (!height || *height <= 0) {
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat("minimumRowHeight must be a value greater than 0. Using %f as minimumRowHeight "
                                       "instead.",
                static_cast<double>(m_defaultRowStyle->minimumSize().value_or(0))),
            this);
        return;
    }
    m_defaultRowStyle->setMinimumSize(height);
}

std::optional<float> LatticeGrid::minimumColWidth() const
{
    return m_defaultColumnStyle->minimumSize();
}

void LatticeGrid::setMinimumColWidth(std::optional<float> width)
{
    if (!width || *width <= 0) {
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat("minimumColWidth must be a value greater than 0. Using %f as minimumColWidth "
                                       "instead.",
                static_cast<double>(m_defaultColumnStyle->minimumSize().value_or(0))),
            this);
        return;
    }
    m_defaultColumnStyle->setMinimumSize(width);
}

void LatticeGrid::setEnableBlending(bool enable)
{
    if (enable == m_enableBlending)
        return;
    m_enableBlending = enable;
    m_backgroundColorBlender->setShouldBlend(enable);
    m_textColorBlender->setShouldBlend(enable);
}

bool LatticeGrid::blendLayeredStyleBackgroundColors() const
{
    return m_backgroundColorBlender->shouldBlend();
}

void LatticeGrid::setBlendLayeredStyleBackgroundColors(bool blend)
{
    m_backgroundColorBlender->setShouldBlend(blend);
}

bool LatticeGrid::blendLayeredStyleTextColors() const
{
    return m_textColorBlender->shouldBlend();
}

void LatticeGrid::setBlendLayeredStyleTextColors(bool blend)
{
    m_textColorBlender->setShouldBlend(blend);
}

void LatticeGrid::setDefaultPermittedDragDirection(int32_t direction)
{
    m_defaultPermittedDragDirection = direction;
    setHoldToOrderEnabledAppropriately();
}

bool LatticeGrid::canReorderColsViaLongPress() const
{
    return m_defaultPermittedDragDirection == 1 || m_defaultPermittedDragDirection == 3;
}

void LatticeGrid::setCanReorderColsViaLongPress(bool v)
{
    m_defaultPermittedDragDirection
        = v ? (m_defaultPermittedDragDirection | 1) : (m_defaultPermittedDragDirection & ~1);
    setHoldToOrderEnabledAppropriately();
}

bool LatticeGrid::canReorderRowsViaLongPress() const
{
    return m_defaultPermittedDragDirection == 2 || m_defaultPermittedDragDirection == 3;
}

void LatticeGrid::setCanReorderRowsViaLongPress(bool v)
{
    m_defaultPermittedDragDirection
        = v ? (m_defaultPermittedDragDirection | 2) : (m_defaultPermittedDragDirection & ~2);
    setHoldToOrderEnabledAppropriately();
}

void LatticeGrid::setHoldToOrderEnabledAppropriately()
{
    auto delegate = this->delegate();
    m_holdToReorderEnabled = m_defaultPermittedDragDirection != 0
        || (delegate && delegate->respondsToSelector("latticeGrid:permittedDragDirectionForCellAtCoord:"));
    if (m_holdToReorder)
        m_holdToReorder->setEnabled(m_holdToReorderEnabled);
}
