#include "grid/LGridCell.h"

#include "foundation/ThreadChecks.h"
#include "graphics/CAGradientLayer.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridArrow.h"
#include "grid/LGridCellBorder.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridGradient.h"
#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"
#include "grid/LGridShadow.h"
#include "grid/LGridTextField.h"
#include "grid/LatticeGrid.h"
#include "grid/LatticeGridLog.h"

#include <cmath>

namespace {

Ref<UIColor> gridBackgroundColour()
{
    return UIColor::colorWithRedGreenBlueAlpha(26 / 255.0f, 25 / 255.0f, 25 / 255.0f, 1);
}

Ref<UIColor> selectedBackgroundColour()
{
    return UIColor::colorWithRedGreenBlueAlpha(255 / 255.0f, 104 / 255.0f, 35 / 255.0f, 1);
}

} // namespace

LGridCell::~LGridCell() = default;

Ref<LGridCell> LGridCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    auto cell = makeView<LGridCell>(CGRectZero);
    cell->initialiseCell(reuseIdentifier);
    return cell;
}

void LGridCell::initialiseCell(const std::string& reuseIdentifier)
{
    if (reuseIdentifier.empty())
        LatticeGridLog::fatalLogMessageFromSource("GridCell's reuseIdentifier can't be nil", this);
    m_reuseIdentifier = reuseIdentifier;
    setAutoresizesSubviews(false);
    setBackgroundColor(gridBackgroundColour());
    m_useOwnBackgroundColor = false;
    m_selectedStyle = LGridCellStyle::init();
    m_fitSubviewsToView = true;
    setClipsToBounds(false);
    m_previousAlpha = 1;
    m_border = LGridCellBorder::initWithCell(self<LGridCell>());
}

Ref<CALayer> LGridCell::layerClass() const
{
    return CAGradientLayer::layer();
}

Ref<LGridCell> LGridCell::copy() const
{
    auto cell = initWithReuseIdentifier(m_reuseIdentifier);
    if (m_gridCoord)
        cell->m_gridCoord = m_gridCoord->copy();
    cell->setOwningLayer(owningLayer());
    cell->setFrame(frame());
    cell->setBackgroundColor(backgroundColor());
    cell->m_fitSubviewsToView = m_fitSubviewsToView;
    cell->m_selectedStyle = m_selectedStyle;
    return cell;
}

void LGridCell::resetForReuse()
{
    removeAllShadows();
    m_currentDragDirection = 3;
    setAutoresizesSubviews(true);
    m_selectedStyle = nullptr;
    m_deselectedStyle = nullptr;
    m_useOwnBackgroundColor = false;
    m_fitSubviewsToView = true;
    setClipsToBounds(false);
    m_collapsed = false;
    m_previousAlpha = 1;
    m_verticallyFrozen = false;
    m_horizontallyFrozen = false;
    m_owningLayer.reset();
    m_selected = false;
    m_border->resetForReuse();
}

std::string LGridCell::description() const
{
    std::string base = UIView::description();
    std::string extra = "; gridCoord: " + (m_gridCoord ? m_gridCoord->description() : std::string("(null)"))
        + "; reuseIdentifier: " + m_reuseIdentifier;
    if (base.empty())
        return extra;
    return base.substr(0, base.size() - 1) + extra + base.substr(base.size() - 1);
}

// Styling

void LGridCell::applyStyle(const Ref<LGridCellStyle>& style)
{
    if (!style)
        return;
    if (!style->backgroundColor())
        style->setBackgroundColor(m_selected ? selectedBackgroundColour() : gridBackgroundColour());
    if (!style->textColor())
        style->setTextColor(UIColor::whiteColor());
    if (!style->font())
        style->setFont(UIFont::fontWithNameSize("EuphemiaUCAS", 17));
    if (auto grid = owningGrid()) {
        auto delegate = grid->delegate();
        if (delegate && delegate->respondsToSelector("latticeGrid:alterStyle:beforeApplyingToCellAtCoord:"))
            delegate->latticeGridAlterStyleBeforeApplyingToCellAtCoord(grid, style, m_gridCoord);
    }
    if (style->backgroundColor())
        setBackgroundColorPrivately(style->backgroundColor());
    setGradient(style->gradient());
}

Ref<LGridCellStyle> LGridCell::currentStyle() const
{
    auto style = LGridCellStyle::init();
    if (m_useOwnBackgroundColor)
        style->setBackgroundColor(backgroundColor());
    if (m_selected)
        style->setBackgroundColor(m_selectedStyle ? m_selectedStyle->backgroundColor() : nullptr);
    return style;
}

void LGridCell::setBackgroundColor(const Ref<UIColor>& color)
{
    UIView::setBackgroundColor(color);
    m_useOwnBackgroundColor = true;
}

void LGridCell::setBackgroundColorPrivately(const Ref<UIColor>& color)
{
    bool own = m_useOwnBackgroundColor;
    UIView::setBackgroundColor(color);
    m_useOwnBackgroundColor = own;
}

void LGridCell::setGradient(const Ref<LGridGradient>& gradient)
{
    auto gradientLayer = std::dynamic_pointer_cast<CAGradientLayer>(layer());
    if (!gradientLayer)
        return;
    if (!gradient) {
        gradientLayer->setColors({});
        gradientLayer->setLocations({});
        return;
    }
    gradientLayer->setColors(gradient->colors());
    gradientLayer->setLocations(gradient->locations().value_or(std::vector<CGFloat> {}));
}

const Ref<LGridCellStyle>& LGridCell::selectedStyle()
{
    if (!m_selectedStyle)
        m_selectedStyle = LGridCellStyle::init();
    return m_selectedStyle;
}

Ref<UIColor> LGridCell::selectedColor()
{
    return selectedStyle()->backgroundColor();
}

void LGridCell::setSelectedColor(const Ref<UIColor>& color)
{
    selectedStyle()->setBackgroundColor(color);
}

const Ref<LGridCellStyle>& LGridCell::deselectedStyle()
{
    if (!m_deselectedStyle)
        m_deselectedStyle = LGridCellStyle::init();
    return m_deselectedStyle;
}

Ref<LGridCellStyle> LGridCell::selectedStyleFromStylePrecedenceWithDefault(const Ref<LGridCellStyle>& style)
{
    auto grid = owningGrid();
    std::vector<Ref<LGridCellStyle>> hierarchy;
    if (style)
        hierarchy.push_back(style);
    if (grid) {
        for (auto& entry : grid->unselectedStyleHierarchyForCell(self<LGridCell>()))
            hierarchy.push_back(entry);
        if (grid->defaultSelectedCellStyle())
            hierarchy.push_back(grid->defaultSelectedCellStyle());
    }
    hierarchy.push_back(selectedStyle());
    if (!grid)
        return hierarchy.back()->copy();
    return grid->blendedStyleFromHierarchyCellIsSelected(hierarchy, true);
}

void LGridCell::applySelectedStyleCacheDeselectedStyle(const Ref<LGridCellStyle>& style, bool cache)
{
    if (cache)
        recordDeselectedStyle();
    applyStyle(style);
}

void LGridCell::recordDeselectedStyle()
{
    auto& style = deselectedStyle();
    style->setBackgroundColor(backgroundColor());
    auto gradientLayer = std::dynamic_pointer_cast<CAGradientLayer>(layer());
    if (!gradientLayer)
        return;
    std::vector<Ref<UIColor>> colours;
    for (const auto& colour : gradientLayer->colors())
        colours.push_back(UIColor::colorWithCGColor(colour));
    std::optional<std::vector<CGFloat>> locations;
    if (!gradientLayer->locations().empty())
        locations = gradientLayer->locations();
    style->setGradient(colours.empty() ? nullptr : LGridGradient::initWithColorsLocations(colours, locations));
}

void LGridCell::applyDeselectedStyle()
{
    applyStyle(deselectedStyle());
}

// Selection

void LGridCell::setSelectedAnimated(bool selected, bool animated)
{
    setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(selected, animated, nullptr, 1);
}

void LGridCell::setSelectedAnimatedNeedsDelegateCallBacksFor(bool selected, bool animated, int32_t level)
{
    setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(selected, animated, nullptr, level);
}

void LGridCell::setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(
    bool selected, bool animated, const Ref<LGridCellStyle>& style, int32_t level)
{
    assertIsMainThread();
    auto protectedThis = self<LGridCell>();
    bool becomesSelected = selected && !m_selected;
    auto coord = m_gridCoord ? m_gridCoord->copy() : nullptr;
    auto grid = owningGrid();
    auto delegate = grid ? grid->delegate() : nullptr;
    if (level == 0 && delegate) {
        if (selected && delegate->respondsToSelector("latticeGrid:shouldSelectCellAtCoord:")
            && !delegate->latticeGridShouldSelectCellAtCoord(grid, coord))
            return;
        if (!selected && delegate->respondsToSelector("latticeGrid:shouldDeselectCellAtCoord:")
            && !delegate->latticeGridShouldDeselectCellAtCoord(grid, coord))
            return;
    }
    bool tell = level != 2 && delegate;
    auto beginAnimation = [animated] {
        if (!animated)
            return;
        UIView::beginAnimations("", nullptr);
        UIView::setAnimationDuration(0.15);
        UIView::setAnimationCurve(UIViewAnimationCurveEaseInOut);
    };
    if (selected) {
        if (tell && delegate->respondsToSelector("latticeGrid:willSelectCellAtCoord:"))
            delegate->latticeGridWillSelectCellAtCoord(grid, coord);
        m_selected = true;
        beginAnimation();
        applySelectedStyleCacheDeselectedStyle(selectedStyleFromStylePrecedenceWithDefault(style), becomesSelected);
        if (animated)
            UIView::commitAnimations();
        if (tell && delegate->respondsToSelector("latticeGrid:didSelectCellAtCoord:"))
            delegate->latticeGridDidSelectCellAtCoord(grid, coord);
        bringToFront();
    } else {
        if (tell && delegate->respondsToSelector("latticeGrid:willDeselectCellAtCoord:"))
            delegate->latticeGridWillDeselectCellAtCoord(grid, coord);
        m_selected = false;
        beginAnimation();
        applyDeselectedStyle();
        if (animated)
            UIView::commitAnimations();
        if (tell && delegate->respondsToSelector("latticeGrid:didDeselectCellAtCoord:"))
            delegate->latticeGridDidDeselectCellAtCoord(grid, coord);
    }
    if (grid && coord)
        grid->recordGridCoordAsSelected(coord, selected);
}

void LGridCell::respondToSelectionEvent()
{
    auto grid = owningGrid();
    if (m_selected && grid && grid->isReordering())
        return;
    setSelectedAnimatedNeedsDelegateCallBacksFor(!m_selected, true, 0);
}

void LGridCell::actUponSelectionEvent()
{
    if (auto grid = owningGrid())
        grid->handleSelectionEventOnCell(self<LGridCell>());
}

void LGridCell::actUponEditEvent()
{
    if (auto grid = owningGrid())
        grid->handleEditEventOnCell(self<LGridCell>());
}

// Ownership and position

void LGridCell::setGridCoord(const Ref<LGridCoord>& coord)
{
    if (!coord || !m_gridCoord) {
        if (coord && !m_gridCoord)
            m_gridCoord = coord;
        return;
    }
    if (coord == m_gridCoord)
        return;
    m_gridCoord->mutateColumnTo(coord->column());
    m_gridCoord->mutateRowTo(coord->row());
}

void LGridCell::setOwningLayer(const Ref<LGridLayer>& layer)
{
    m_owningLayer = layer;
    if (layer)
        m_grid = layer->grid();
}

Ref<LGridLayerContent> LGridCell::owningContentPane() const
{
    auto layer = owningLayer();
    return layer ? layer->content() : nullptr;
}

void LGridCell::bringToFront()
{
    if (auto pane = owningContentPane())
        pane->bringSubviewToFront(self<LGridCell>());
}

void LGridCell::sendToBack()
{
    if (auto pane = owningContentPane())
        pane->sendSubviewToBack(self<LGridCell>());
}

bool LGridCell::isInFirstRowOfOwnSection() const
{
    return m_gridCoord && m_gridCoord->rowIndex() == 0;
}

bool LGridCell::isInLastRowOfOwnSection() const
{
    auto grid = owningGrid();
    if (!grid || !m_gridCoord)
        return false;
    return m_gridCoord->rowIndex() + 1
        == grid->dataSourceDelegateManager()->numberOfRowsInSection(m_gridCoord->section());
}

bool LGridCell::isInLastSection() const
{
    auto grid = owningGrid();
    if (!grid || !m_gridCoord)
        return false;
    return m_gridCoord->section() == grid->dataSourceDelegateManager()->totalNumberOfSectionsInGrid() - 1;
}

bool LGridCell::isInFirstUncollapsedSection() const
{
    auto grid = owningGrid();
    auto section = grid ? grid->firstUncollapsedSection() : nullptr;
    return section && m_gridCoord && m_gridCoord->section() == section->index();
}

bool LGridCell::isInLastUncollapsedSection() const
{
    auto grid = owningGrid();
    auto section = grid ? grid->lastUncollapsedSection() : nullptr;
    return section && m_gridCoord && m_gridCoord->section() == section->index();
}

bool LGridCell::isInFirstRowOfFirstUncollapsedSection() const
{
    return isInFirstRowOfOwnSection() && isInFirstUncollapsedSection();
}

bool LGridCell::isInLastRowOfLastSection() const
{
    return isInLastRowOfOwnSection() && isInLastSection();
}

bool LGridCell::isInLastRowOfLastUncollapsedSection() const
{
    return isInLastRowOfOwnSection() && isInLastUncollapsedSection();
}

// Geometry

void LGridCell::setFrame(CGRect frame)
{
    setCenter(CGPointMake(frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2));
    CGRect b = bounds();
    if (b.size.width != frame.size.width || b.size.height != frame.size.height)
        setBounds(CGRectMake(0, 0, frame.size.width, frame.size.height));
    if (m_fitSubviewsToView) {
        auto children = subviews();
        for (const auto& child : children) {
            // Shadows, reorder and sort arrows and the text field have frames of their own.
            if (std::dynamic_pointer_cast<LGridShadow>(child) || std::dynamic_pointer_cast<LGridArrow>(child)
                || std::dynamic_pointer_cast<LGridTextField>(child))
                continue;
            child->setCenter(CGPointMake(frame.size.width / 2, frame.size.height / 2));
            CGRect childBounds = child->bounds();
            if (childBounds.size.width != frame.size.width || childBounds.size.height != frame.size.height)
                child->setBounds(CGRectMake(0, 0, frame.size.width, frame.size.height));
        }
    }
    if (m_border)
        m_border->setFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
}

CGRect LGridCell::insetFrame(CGRect rect) const
{
    float top = m_border->borderSizeAt(0);
    float bottom = m_border->borderSizeAt(1);
    float left = m_border->borderSizeAt(2);
    float right = m_border->borderSizeAt(3);
    return CGRectMake(
        rect.origin.x + left, rect.origin.y + top, rect.size.width - left - right, rect.size.height - top - bottom);
}

CGRect LGridCell::contentFrame() const
{
    return insetFrame(bounds());
}

void LGridCell::setCenterPinMovement(CGPoint point, bool pin)
{
    CGPoint current = center();
    if (pin && m_verticallyFrozen)
        point.y = current.y;
    if (pin && m_horizontallyFrozen)
        point.x = current.x;
    setCenter(point);
}

void LGridCell::adjustYPositionOfCentreBy(float delta)
{
    if (beingDragged())
        return;
    CGPoint c = center();
    setCenter(CGPointMake(c.x, c.y + delta));
}

void LGridCell::setCollapsed(bool collapsed)
{
    m_collapsed = collapsed;
    if (collapsed && alpha() != 0)
        m_previousAlpha = alpha();
    setAlpha(collapsed ? 0 : m_previousAlpha);
}

void LGridCell::pulse()
{
    if (m_verticallyFrozen && m_horizontallyFrozen)
        return;
    bringToFront();
    CGRect original = frame();
    UIView::beginAnimations("", nullptr);
    UIView::setAnimationDuration(0.3);
    UIView::setAnimationCurve(UIViewAnimationCurveEaseInOut);
    setFrame(CGRectMake(
        original.origin.x - 10, original.origin.y - 10, original.size.width + 20, original.size.height + 20));
    UIView::commitAnimations();
    UIView::beginAnimations("", nullptr);
    UIView::setAnimationDuration(0.3);
    UIView::setAnimationCurve(UIViewAnimationCurveEaseInOut);
    setFrame(original);
    UIView::commitAnimations();
}

// Shadows

void LGridCell::showShadows(bool show)
{
    if (show) {
        shadeIfFrozen();
        return;
    }
    removeAllShadows();
}

void LGridCell::shadeIfFrozen()
{
    auto grid = owningGrid();
    if (!grid || !m_gridCoord)
        return;
    CGPoint offset = grid->contentOffset();
    if (offset.x > 0 && grid->numberOfFrozenColumns() == static_cast<uint32_t>(m_gridCoord->column() + 1))
        addShadowOnSide(3);
    else if (m_shadowViews[3])
        removeShadowOnSide(3);
    if (offset.y > 0
        && grid->numberOfFrozenRows()
            == grid->dataSourceDelegateManager()->absoluteIndexForGridRow(m_gridCoord->row()) + 1)
        addShadowOnSide(1);
    else if (m_shadowViews[1])
        removeShadowOnSide(1);
}

void LGridCell::addShadowOnSide(int32_t side)
{
    if (side < 0 || side > 3)
        return;
    auto& shadow = m_shadowViews[static_cast<size_t>(side)];
    if (!shadow) {
        shadow = LGridShadow::init();
        shadow->setAutoresizingMask(static_cast<UIViewAutoresizing>(63));
        setClipsToBounds(false);
        shadow->setAlpha(0);
        auto fading = shadow;
        UIView::animateWithDuration(0.3, [fading] { fading->setAlpha(1); });
    }
    shadow->addToView(self<LGridCell>());
    shadow->attachOnSide(side);
}

void LGridCell::removeShadowOnSide(int32_t side)
{
    if (side < 0 || side > 3)
        return;
    auto& shadow = m_shadowViews[static_cast<size_t>(side)];
    if (shadow)
        shadow->removeFromSuperview();
    shadow = nullptr;
}

void LGridCell::removeAllShadows()
{
    for (int32_t side = 0; side < 4; ++side)
        removeShadowOnSide(side);
}

void LGridCell::addShadowsForDrag()
{
    if (m_currentDragDirection == 1) {
        addShadowOnSide(2);
        addShadowOnSide(3);
    } else if (m_currentDragDirection == 2) {
        addShadowOnSide(0);
        addShadowOnSide(1);
    }
}

void LGridCell::setCurrentDragDirection(int32_t direction)
{
    m_currentDragDirection = direction;
    if (direction == 1 || direction == 2)
        addShadowsForDrag();
    else if (direction == 0)
        removeAllShadows();
}
