#include "grid/LGridLayer.h"

#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridBorderStyle.h"
#include "grid/LGridCell.h"
#include "grid/LGridCompositeSectionHeader.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridSection.h"
#include "grid/LGridSectionHeader.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LatticeGrid.h"
#include "grid/LatticeGridLog.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// Replaces the character before the last one of a view description with extra text.
std::string spliceDescription(const std::string& base, const std::string& extra)
{
    if (base.size() < 2)
        return base + extra;
    return base.substr(0, base.size() - 2) + extra + base.substr(base.size() - 1);
}

// An indicator image view that keeps its alpha while it is tagged as one that must stay
// visible: the scroll view's own fade-outs (alpha 0) are ignored then.
class LGridIndicatorImageView : public UIImageView {
    VX_OBJECT(LGridIndicatorImageView, UIImageView)
public:
    explicit LGridIndicatorImageView(Passkey key)
        : UIImageView(key)
    {
    }
    static Ref<LGridIndicatorImageView> make() { return makeView<LGridIndicatorImageView>(CGRectZero); }
    void setAlpha(CGFloat alpha) override
    {
        if (alpha == 0
            && (tag() == LGridScrollIndicatorLayer::kVerticalIndicatorTag
                || tag() == LGridScrollIndicatorLayer::kHorizontalIndicatorTag))
            return;
        UIImageView::setAlpha(alpha);
    }
};

} // namespace

// LGridLayer

Ref<LGridLayer> LGridLayer::initWithFreezeWithGrid(int32_t freezeType, const Ref<LatticeGrid>& grid)
{
    return makeLayer<LGridLayer>(freezeType, grid);
}

void LGridLayer::init()
{
    LatticeGridLog::fatalLogMessageFromSource(
        "Use initWithFreeze:withGrid method.", static_cast<const NSObject*>(nullptr));
}

void LGridLayer::initialiseLayer(int32_t freezeType, const Ref<LatticeGrid>& grid)
{
    m_freezeType = freezeType;
    m_grid = grid;
    setBackgroundColor(UIColor::clearColor());
    setUserInteractionEnabled(true);
    setShowsVerticalScrollIndicator(false);
    setShowsHorizontalScrollIndicator(false);
    m_content = LGridLayerContent::initWithLayer(self<LGridLayer>());
    addSubview(m_content);
}

void LGridLayer::setContentOffset(CGPoint offset)
{
    CGPoint current = contentOffset();
    switch (m_freezeType) {
    case LGridFreezeTypeNone:
        break;
    case LGridFreezeTypeVertical:
        if (leftBounceNeedsClampingForOffset(offset))
            offset.x = 0;
        offset.y = current.y;
        break;
    case LGridFreezeTypeHorizontal:
        if (topBounceNeedsClampingForOffset(offset))
            offset.y = 0;
        offset.x = current.x;
        break;
    default:
        return;
    }
    UIScrollView::setContentOffset(offset);
}

bool LGridLayer::pointInside(CGPoint point, const Ref<UIEvent>& event)
{
    if (m_freezeType == LGridFreezeTypeNone && !dynamic_cast<LGridScrollIndicatorLayer*>(this))
        return UIScrollView::pointInside(point, event);
    if (dynamic_cast<LGridScrollIndicatorLayer*>(this))
        return false;
    // Only where one of this pane's elements lies: touches on the transparent parts fall
    // through to the panes below.
    CGPoint inContent = convertPointToView(point, m_content);
    for (const auto& element : m_content->selectableGridElements()) {
        if (!element->isHidden() && CGRectContainsPoint(element->frame(), inContent))
            return true;
    }
    return false;
}

std::vector<Ref<UIView>> LGridLayer::addedCells() const
{
    return m_content->selectableGridElements();
}

std::string LGridLayer::freezeTypeDescription() const
{
    switch (m_freezeType) {
    case LGridFreezeTypeNone:
        return "No Freeze";
    case LGridFreezeTypeVertical:
        return "Vertical Freeze";
    case LGridFreezeTypeHorizontal:
        return "Horizontal Freeze";
    case LGridFreezeTypeStatic:
        return "Static Freeze";
    default:
        return "Unkown Freeze";
    }
}

std::string LGridLayer::description() const
{
    return spliceDescription(UIScrollView::description(), "; \n" + freezeTypeDescription());
}

// LGridLayerContent

Ref<LGridLayerContent> LGridLayerContent::initWithLayer(const Ref<LGridLayer>& layer)
{
    auto content = makeView<LGridLayerContent>(CGRectZero);
    content->m_owningLayer = layer;
    content->setBackgroundColor(UIColor::clearColor());
    content->setAutoresizesSubviews(false);
    content->setupBorder();
    return content;
}

void LGridLayerContent::setupBorder()
{
    for (auto& border : m_borders) {
        border = UIView::init();
        addSubview(border);
        border->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    }
}

void LGridLayerContent::setFrame(CGRect frame)
{
    UIView::setFrame(frame);
    auto layer = owningLayer();
    if (layer && layer->shouldHaveBorder())
        setBorderFrame(frame);
}

void LGridLayerContent::setBorderFrame(CGRect frame)
{
    auto grid = owningGrid();
    auto layer = owningLayer();
    if (!grid || !layer || !grid->defaultBorderStyle())
        return;
    bool animations = UIView::areAnimationsEnabled();
    UIView::setAnimationsEnabled(false);
    auto& style = grid->defaultBorderStyle();
    float bw = style->width();
    for (auto& border : m_borders)
        border->setBackgroundColor(style->color());
    float fw = frozenWidth();
    float fh = frozenHeight();
    float w = frame.size.width;
    float h = frame.size.height;
    switch (layer->freezeType()) {
    case LGridFreezeTypeStatic:
        m_borders[0]->setFrame(CGRectMake(0, 0, fw + bw, bw));
        m_borders[1]->setFrame(CGRectMake(0, bw, bw, fh));
        break;
    case LGridFreezeTypeVertical:
        m_borders[0]->setFrame(CGRectMake(fw + bw, 0, w - fw - bw, bw));
        m_borders[1]->setFrame(CGRectMake(w - bw, bw, bw, fh));
        break;
    case LGridFreezeTypeHorizontal:
        m_borders[0]->setFrame(CGRectMake(bw, h - bw, fw, bw));
        m_borders[1]->setFrame(CGRectMake(0, fh + bw, bw, h - fh - bw));
        break;
    case LGridFreezeTypeNone:
        m_borders[0]->setFrame(CGRectMake(fw + bw, h - bw, w - fw - bw, bw));
        m_borders[1]->setFrame(CGRectMake(w - bw, fh + bw, bw, h - fh - 2 * bw));
        break;
    default:
        break;
    }
    UIView::setAnimationsEnabled(animations);
}

Ref<LatticeGrid> LGridLayerContent::owningGrid() const
{
    auto layer = owningLayer();
    return layer ? layer->grid() : nullptr;
}

float LGridLayerContent::frozenWidth() const
{
    auto grid = owningGrid();
    if (!grid)
        return 0;
    float width = 0;
    for (uint32_t c = 0; c < grid->numberOfFrozenColumns(); ++c)
        width += grid->colStyleSizeForColIndex(static_cast<int32_t>(c));
    return width;
}

float LGridLayerContent::frozenHeight() const
{
    auto grid = owningGrid();
    if (!grid)
        return 0;
    LGridRow last = grid->lastFrozenRow();
    float height = 0;
    int32_t currentSection = -1;
    LGridRow row = LGridRowMake(0, 0);
    while (LGridRowLessThanOrEqualToRow(row, last)) {
        if (row.section != currentSection) {
            currentSection = row.section;
            height += grid->dataSourceDelegateManager()->sectionHeaderStyleAtIndex(currentSection)->height();
        }
        height += grid->rowStyleSizeForRow(row);
        row = grid->findRowAfterRow(row);
    }
    return height;
}

void LGridLayerContent::generateSectionHeadersForSectionAtOrigin(const Ref<LGridSection>& section, float y)
{
    auto grid = owningGrid();
    auto layer = owningLayer();
    if (!grid || !layer || !section || std::dynamic_pointer_cast<LGridScrollIndicatorLayer>(layer))
        return;
    int32_t type = layer->freezeType();
    if (type == LGridFreezeTypeVertical || type == LGridFreezeTypeStatic)
        return;
    bool frozenPane = type == LGridFreezeTypeHorizontal;
    const auto& composite = section->header();
    auto header = composite->headerAtIndex(frozenPane ? 0 : 1);
    if (!header) {
        header = LGridSectionHeader::initWithLayerWithSection(layer, section);
        composite->addHeaderAsFrozen(header, type != LGridFreezeTypeNone);
    }
    auto& manager = grid->dataSourceDelegateManager();
    auto style = manager->sectionHeaderStyleAtIndex(section->index());
    float bw = grid->defaultBorderStyle() ? grid->defaultBorderStyle()->width() : 0;
    float fw = frozenWidth();
    CGRect frame;
    frame.origin.y = y;
    if (frozenPane) {
        frame.origin.x = bw;
        frame.size.width = fw;
    } else {
        frame.origin.x = bw + fw;
        frame.size.width = grid->contentSize().width - fw - 2 * bw;
    }
    frame.size.height = std::ceil(style->height()) + 0.5f;
    header->setFrame(frame);
    header->setBackgroundColor(style->backgroundColor());
    header->setTextColor(style->textColor());
    header->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    if (style->font())
        header->setFont(style->font());
    bool hasFrozenColumns = grid->numberOfFrozenColumns() > 0;
    Ref<UIView> custom;
    if (!frozenPane)
        custom = manager->sectionViewForLiquidSectionAtIndexInFrame(section->index(), frame);
    else if (hasFrozenColumns)
        custom = manager->sectionViewForFrozenSectionAtIndexInFrame(section->index(), frame);
    if (custom) {
        if (frozenPane)
            composite->setFrozenView(custom);
        else
            composite->setLiquidView(custom);
    } else if (!frozenPane) {
        composite->setLiquidTitle(manager->sectionTitleForLiquidSectionAtIndex(section->index()));
    } else if (hasFrozenColumns) {
        composite->setFrozenTitle(manager->sectionTitleForFrozenSectionAtIndex(section->index()));
    }
    header->setHidden(style->isHidden());
    // The header goes behind the frozen rows' pane when the first visible row is frozen.
    Ref<LGridLayerContent> target = self<LGridLayerContent>();
    auto first = section->visibleCellAtColAtRowIndex(grid->firstVisibleColumnIndex(), grid->firstVisibleRow().index);
    if (first && first->verticallyFrozen())
        target = frozenPane ? grid->staticLayer()->content() : grid->verticallyFrozenLayer()->content();
    target->insertSubviewAtIndex(header, 0);
}

void LGridLayerContent::addCell(const Ref<UIView>& cell)
{
    if (!cell || CGRectEqualToRect(cell->frame(), CGRectZero))
        return;
    if (cell->superview().get() == this) {
        // Already here (parked or in place): it takes taps again.
        if (std::find(m_selectableGridElements.begin(), m_selectableGridElements.end(), cell)
            == m_selectableGridElements.end())
            m_selectableGridElements.push_back(cell);
        return;
    }
    addSubview(cell);
}

void LGridLayerContent::removeCell(const Ref<UIView>& cell)
{
    if (!cell)
        return;
    cell->setCenter(CGPointMake(-FLT_MAX, -FLT_MAX));
    std::erase(m_selectableGridElements, cell);
}

void LGridLayerContent::prepareForReload()
{
    removeGridLinesAndSectionHeadersFromView();
    m_selectableGridElements.clear();
}

void LGridLayerContent::removeGridLinesAndSectionHeadersFromView()
{
    auto children = subviews();
    for (const auto& child : children) {
        if (std::find(m_borders.begin(), m_borders.end(), child) != m_borders.end())
            continue;
        if (!std::dynamic_pointer_cast<LGridCell>(child) && !std::dynamic_pointer_cast<UIScrollView>(child))
            child->removeFromSuperview();
    }
}

void LGridLayerContent::didAddSubview(const Ref<UIView>& view)
{
    if (dynamic_cast<LGridEventResponder*>(view.get())
        && std::find(m_selectableGridElements.begin(), m_selectableGridElements.end(), view)
            == m_selectableGridElements.end())
        m_selectableGridElements.push_back(view);
}

void LGridLayerContent::willRemoveSubview(const Ref<UIView>& view)
{
    std::erase(m_selectableGridElements, view);
}

std::string LGridLayerContent::description() const
{
    auto layer = owningLayer();
    return spliceDescription(
        UIView::description(), "; freezeType: " + (layer ? layer->freezeTypeDescription() : std::string("(null)")));
}

// LGridScrollIndicatorLayer

Ref<LGridScrollIndicatorLayer> LGridScrollIndicatorLayer::initAsVerticalIndicatorWithGrid(
    bool vertical, const Ref<LatticeGrid>& grid)
{
    auto layer
        = makeLayer<LGridScrollIndicatorLayer>(vertical ? LGridFreezeTypeHorizontal : LGridFreezeTypeVertical, grid);
    layer->m_isVerticalIndicator = vertical;
    layer->setShowsVerticalScrollIndicator(vertical);
    layer->setShowsHorizontalScrollIndicator(!vertical);
    layer->m_isProgrammaticScrollHappening = true;
    layer->setDelegate(layer.get(), layer);
    return layer;
}

Ref<UIImageView> LGridScrollIndicatorLayer::makeScrollIndicator(IndicatorAxis)
{
    auto indicator = LGridIndicatorImageView::make();
    indicator->setAlpha(0);
    indicator->setUserInteractionEnabled(false);
    return indicator;
}

Ref<UIImageView> LGridScrollIndicatorLayer::findScrollIndicator() const
{
    for (const auto& child : subviews()) {
        if (auto image = std::dynamic_pointer_cast<UIImageView>(child))
            return image;
    }
    return nullptr;
}

bool LGridScrollIndicatorLayer::safeToAccessIndicator() const
{
    return m_isVerticalIndicator ? showsVerticalScrollIndicator() : showsHorizontalScrollIndicator();
}

void LGridScrollIndicatorLayer::showIndicator()
{
    if (m_isProgrammaticScrollHappening)
        return;
    auto indicator = findScrollIndicator();
    m_scrollIndicator = indicator;
    if (indicator && safeToAccessIndicator())
        indicator->setTag(m_isVerticalIndicator ? kVerticalIndicatorTag : kHorizontalIndicatorTag);
    flashScrollIndicators();
}

void LGridScrollIndicatorLayer::hideIndicator()
{
    if (!safeToAccessIndicator())
        return;
    auto indicator = m_scrollIndicator.lock();
    if (!indicator)
        return;
    indicator->setTag(0);
    UIView::animateWithDuration(0.3, [indicator] { indicator->setAlpha(0); });
}

void LGridScrollIndicatorLayer::scrollViewDidScroll(const Ref<UIScrollView>&)
{
    showIndicator();
}

void LGridScrollIndicatorLayer::scrollViewWillBeginDragging(const Ref<UIScrollView>&)
{
    m_isProgrammaticScrollHappening = false;
}

void LGridScrollIndicatorLayer::scrollViewDidEndDecelerating(const Ref<UIScrollView>&)
{
    hideIndicator();
    m_isProgrammaticScrollHappening = true;
}

void LGridScrollIndicatorLayer::scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool decelerate)
{
    if (decelerate)
        return;
    hideIndicator();
    m_isProgrammaticScrollHappening = true;
}

void LGridScrollIndicatorLayer::scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>&)
{
    m_isProgrammaticScrollHappening = true;
}
