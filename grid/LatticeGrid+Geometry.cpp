// LatticeGrid: column widths and row heights with half grid lines, the content size, stretching
// to fill spare space, and the position of a cell measured from its placed neighbour.
#include "grid/LatticeGrid.h"

#include "grid/LGridBorderStyle.h"
#include "grid/LGridCell.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/NSArray+LGridBinarySearch.h"

#include <algorithm>

namespace {

float borderWidth(const Ref<LGridBorderStyle>& style)
{
    return style ? style->width() : 0;
}

} // namespace

float LatticeGrid::headerHeightOfSection(int32_t section)
{
    auto style = m_dataSourceDelegateManager->sectionHeaderStyleAtIndex(section);
    return style ? style->height() : 0;
}

float LatticeGrid::minimumWidthForColumnAtIndex(int32_t column)
{
    auto style = m_dataSourceDelegateManager->styleOfCellAtCol(column);
    if (style && style->minimumSize())
        return *style->minimumSize();
    return m_defaultColumnStyle->minimumSize().value_or(0);
}

float LatticeGrid::minimumHeightForRow(LGridRow row)
{
    auto style = m_dataSourceDelegateManager->styleOfCellAtRow(row);
    if (style && style->minimumSize())
        return *style->minimumSize();
    return m_defaultRowStyle->minimumSize().value_or(0);
}

float LatticeGrid::validateColSizeUsingMinimumSizeForColIndex(std::optional<float> size, float minimum, int32_t column)
{
    float value = size ? *size : m_defaultColumnStyle->size().value_or(0);
    return std::max(minimum, value) + m_dataSourceDelegateManager->gridLineSizeVerticalAtIndex(column - 1) / 2
        + m_dataSourceDelegateManager->gridLineSizeVerticalAtIndex(column) / 2;
}

float LatticeGrid::validateRowSizeUsingMinimumSizeForRow(std::optional<float> size, float minimum, LGridRow row)
{
    float value = size ? *size : m_defaultRowStyle->size().value_or(0);
    LGridRow previous = findRowBeforeRow(row);
    return std::max(minimum, value)
        + m_dataSourceDelegateManager->gridLineSizeHorizontalAtIndexInSection(row.index, row.section) / 2
        + m_dataSourceDelegateManager->gridLineSizeHorizontalAtIndexInSection(previous.index, previous.section) / 2;
}

float LatticeGrid::colStyleSizeForColIndex(int32_t column)
{
    auto style = m_dataSourceDelegateManager->styleOfCellAtCol(column);
    return validateColSizeUsingMinimumSizeForColIndex(
        style ? style->size() : std::nullopt, minimumWidthForColumnAtIndex(column), column);
}

float LatticeGrid::rowStyleSizeForRow(LGridRow row)
{
    auto section = m_dataSourceDelegateManager->sectionAtIndex(row.section);
    if (!section)
        return measureRowHeight(row);
    return section->rowHeightAtIndex(row.index);
}

float LatticeGrid::measureRowHeight(LGridRow row)
{
    auto style = m_dataSourceDelegateManager->styleOfCellAtRowKeepingIt(row, false);
    std::optional<float> minimum = style ? style->minimumSize() : std::nullopt;
    if (!minimum)
        minimum = m_defaultRowStyle->minimumSize();
    return validateRowSizeUsingMinimumSizeForRow(style ? style->size() : std::nullopt, minimum.value_or(0), row);
}

uint64_t LatticeGrid::rowHeightsGeneration()
{
    RowHeightInputs now { m_defaultRowStyle ? m_defaultRowStyle->size() : std::nullopt,
        m_defaultRowStyle ? m_defaultRowStyle->minimumSize() : std::nullopt, m_defaultGridLineStyle.get(),
        m_defaultGridLineStyle ? m_defaultGridLineStyle->width() : 0 };
    if (!(now == m_rowHeightInputs)) {
        m_rowHeightInputs = now;
        ++m_rowHeightsGeneration;
    }
    return m_rowHeightsGeneration;
}

float LatticeGrid::distanceFromRowToRow(LGridRow from, LGridRow to)
{
    if (!LGridRowLessThanRow(from, to))
        return 0;
    auto& manager = m_dataSourceDelegateManager;
    auto rowsBetween = [&](int32_t s, int32_t first, std::optional<int32_t> end) -> double {
        auto section = manager->sectionAtIndex(s);
        if (!section || section->isCollapsed())
            return 0;
        double before = section->heightOfRowsBefore(first);
        return (end ? section->heightOfRowsBefore(*end) : section->heightOfAllRows()) - before;
    };
    if (from.section == to.section)
        return static_cast<float>(rowsBetween(from.section, from.index, to.index));
    double y = rowsBetween(from.section, from.index, std::nullopt);
    for (int32_t s = from.section + 1; s < to.section; ++s) {
        if (!manager->sectionAtIndex(s))
            return static_cast<float>(y);
        y += headerHeightOfSection(s) + rowsBetween(s, 0, std::nullopt);
    }
    y += headerHeightOfSection(to.section) + rowsBetween(to.section, 0, to.index);
    return static_cast<float>(y);
}

LGridRow LatticeGrid::rowAtContentY(float y)
{
    auto& manager = m_dataSourceDelegateManager;
    int32_t sections = manager->totalNumberOfSectionsInGrid();
    double top = borderWidth(m_defaultBorderStyle);
    LGridRow nearest = LGridRowMake(-1, -1);
    for (int32_t s = 0; s < sections; ++s) {
        auto section = manager->sectionAtIndex(s);
        if (!section)
            break;
        double rowsTop = top + section->headerHeight();
        if (section->isCollapsed()) {
            top = rowsTop;
            continue;
        }
        double rows = section->heightOfAllRows();
        if (y < rowsTop + rows)
            return LGridRowMake(section->rowIndexAtOffset(std::max(0.0, y - rowsTop)), s);
        nearest = LGridRowMake(section->numberOfRows() - 1, s);
        top = rowsTop + rows;
    }
    return nearest;
}

void LatticeGrid::recalculateContentSize()
{
    if (deferredLayout())
        return;
    m_dataSourceDelegateManager->assertDataSourceExists();
    float width = 0;
    int32_t columns = m_dataSourceDelegateManager->totalNumberOfColumnsInGrid();
    for (int32_t c = 0; c < columns; ++c)
        width += colStyleSizeForColIndex(c);
    float height = 0;
    int32_t sections = m_dataSourceDelegateManager->totalNumberOfSectionsInGrid();
    for (int32_t s = 0; s < sections; ++s) {
        if (auto section = m_dataSourceDelegateManager->sectionAtIndex(s))
            height += section->loadRowStylesAndReturnSectionHeight();
    }
    float b = borderWidth(m_defaultBorderStyle);
    float zoom = zoomScale();
    setContentSize(CGSizeMake((width + 2 * b) * zoom, (height + 2 * b) * zoom));
}

void LatticeGrid::setContentSize(CGSize size)
{
    UIScrollView::setContentSize(size);
    for (const auto& layer : layers()) {
        layer->setContentSize(size);
        CGRect frame = layer->content()->frame();
        layer->content()->setFrame(CGRectMake(frame.origin.x, frame.origin.y, size.width, size.height));
    }
    m_panDecision = 0;
}

float LatticeGrid::currentContentHeightUpToAndIncludingSection(int32_t section)
{
    float b = borderWidth(m_defaultBorderStyle);
    float height = b;
    for (int32_t s = 0; s <= section; ++s) {
        if (auto object = m_dataSourceDelegateManager->sectionAtIndex(s))
            height += object->currentContentHeight();
    }
    if (section + 1 == numberOfSections())
        height += b;
    return height;
}

float LatticeGrid::currentContentHeightForAllSections()
{
    int32_t sections = numberOfSections();
    if (sections <= 0)
        return 2 * borderWidth(m_defaultBorderStyle);
    return currentContentHeightUpToAndIncludingSection(sections - 1);
}

void LatticeGrid::stretchColsIfNeeded()
{
    if (m_userSetDefaultColStyle)
        return;
    auto style = std::static_pointer_cast<LGridColRowStyle>(m_defaultColumnStyle->copy());
    style->setSize(m_initialDefaultColWidth);
    privateSetDefaultColStyle(style);
    float stretch = 0;
    recalculateContentSize();
    float b = borderWidth(m_defaultBorderStyle);
    if (bounds().size.width > contentSize().width) {
        float sizedWidth = 0;
        int32_t unsized = 0;
        int32_t columns = m_dataSourceDelegateManager->totalNumberOfColumnsInGrid();
        for (int32_t c = 0; c < columns; ++c) {
            auto columnStyle = m_dataSourceDelegateManager->styleOfCellAtCol(c);
            if (columnStyle && columnStyle->size() && *columnStyle->size() > 0)
                sizedWidth += colStyleSizeForColIndex(c);
            else
                ++unsized;
        }
        if (unsized > 0) {
            float lines = 0;
            for (int32_t c = columns - 1; c >= 0; --c)
                lines += m_dataSourceDelegateManager->gridLineSizeVerticalAtIndex(c);
            stretch = (bounds().size.width - sizedWidth - 2 * b - lines) / static_cast<float>(unsized);
        }
    }
    if (stretch > 0) {
        stopObservingSize(style);
        style->setSize(stretch);
        startObservingSize(style);
    }
    recalculateContentSize();
}

void LatticeGrid::stretchRowsIfNeeded()
{
    if (m_userSetDefaultRowStyle)
        return;
    auto style = std::static_pointer_cast<LGridColRowStyle>(m_defaultRowStyle->copy());
    style->setSize(m_initialDefaultRowHeight);
    privateSetDefaultRowStyle(style);
    float stretch = 0;
    recalculateContentSize();
    if (bounds().size.height > contentSize().height) {
        float headers = 0;
        int32_t unspecified = 0;
        float specifiedHeight = 0;
        int32_t specified = 0;
        int32_t sections = m_dataSourceDelegateManager->totalNumberOfSectionsInGrid();
        for (int32_t s = 0; s < sections; ++s) {
            headers += headerHeightOfSection(s);
            if (auto section = m_dataSourceDelegateManager->sectionAtIndex(s))
                section->collectNumberOfUnspecifiedHeightsAndSpecifiedHeightsAndNumberOfSpecifiedHeights(
                    unspecified, specifiedHeight, specified);
        }
        if (unspecified != 0)
            stretch = (bounds().size.height - specifiedHeight - headers) / static_cast<float>(unspecified);
    }
    if (stretch > 0) {
        stopObservingSize(style);
        style->setSize(stretch);
        startObservingSize(style);
    }
    recalculateContentSize();
}

float LatticeGrid::xPosOfCell(const Ref<LGridCell>& cell)
{
    int32_t column = cell->gridCoord()->column();
    LGridRow row = cell->gridCoord()->row();
    float b = borderWidth(m_defaultBorderStyle);
    if (column == 0)
        return b;
    int32_t reference = column - 1;
    float x = 0;
    if (!m_visibleColIndexes.empty()) {
        int32_t k = visibleColIndexFromActualIndex(column);
        if (k > 0) {
            reference = m_visibleColIndexes[static_cast<size_t>(k - 1)];
        } else {
            reference = 0;
            x = b;
        }
    }
    if (std::find(m_visibleColIndexes.begin(), m_visibleColIndexes.end(), reference) != m_visibleColIndexes.end()) {
        if (auto placed = m_dataSourceDelegateManager->loadAndRetrieveCellAtColAtRow(reference, row))
            x += placed->frame().origin.x;
    }
    for (int32_t c = reference; c < column; ++c)
        x += colStyleSizeForColIndex(c);
    return x;
}

float LatticeGrid::yPosOfCell(const Ref<LGridCell>& cell)
{
    LGridRow row = cell->gridCoord()->row();
    int32_t column = cell->gridCoord()->column();
    float b = borderWidth(m_defaultBorderStyle);
    if (row == LGridRowMake(0, 0))
        return b + headerHeightOfSection(0);
    int32_t k = visibleRowIndexFromActualRow(row);
    LGridRow reference = LGridRowMake(0, 0);
    float y = b + headerHeightOfSection(0);
    if (k > 0) {
        reference = m_visibleRowIndexes[static_cast<size_t>(k - 1)];
        y = 0;
    }
    if (std::find(m_visibleRowIndexes.begin(), m_visibleRowIndexes.end(), reference) != m_visibleRowIndexes.end()) {
        if (auto placed = m_dataSourceDelegateManager->loadAndRetrieveCellAtColAtRow(column, reference))
            y += placed->frame().origin.y;
    }
    return y + distanceFromRowToRow(reference, row);
}

CGPoint LatticeGrid::originOfCell(const Ref<LGridCell>& cell)
{
    return CGPointMake(xPosOfCell(cell), yPosOfCell(cell));
}

int32_t LatticeGrid::visibleColIndexFromActualIndex(int32_t column)
{
    if (m_visibleColIndexes.empty())
        return std::max(0, column - firstVisibleColumnIndex());
    int32_t found = NSArray_LGridBinarySearch::binarySearchNSNumberArrayForInt(m_visibleColIndexes, column);
    if (found != NSArray_LGridBinarySearch::notFound)
        return found;
    if (column <= lastVisibleColumnIndex() && column < firstVisibleNonFrozenColumnIndex())
        return static_cast<int32_t>(m_innerNumberOfFrozenColumns);
    return static_cast<int32_t>(m_visibleColIndexes.size());
}

int32_t LatticeGrid::visibleRowIndexFromActualRow(LGridRow row)
{
    if (m_visibleRowIndexes.empty()) {
        int32_t steps = 0;
        LGridRow current = firstVisibleRow();
        while (LGridRowLessThanRow(current, row)) {
            current = findRowAfterRow(current);
            ++steps;
        }
        return steps;
    }
    int32_t found = NSArray_LGridBinarySearch::binarySearchNSValueArrayForRow(m_visibleRowIndexes, row);
    if (found != NSArray_LGridBinarySearch::notFound)
        return found;
    if (LGridRowGreaterThanRow(row, lastVisibleRow()))
        return static_cast<int32_t>(m_visibleRowIndexes.size());
    if (LGridRowLessThanRow(row, firstVisibleNonFrozenRow()))
        return static_cast<int32_t>(m_numberOfFrozenRows);
    return static_cast<int32_t>(m_visibleRowIndexes.size());
}
