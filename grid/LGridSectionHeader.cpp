#include "grid/LGridSectionHeader.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"

Ref<LGridSectionHeader> LGridSectionHeader::initWithLayerWithSection(
    const Ref<LGridLayer>& layer, const Ref<LGridSection>& section)
{
    auto header = makeView<LGridSectionHeader>(CGRectZero);
    header->setFont(UIFont::systemFontOfSize(17));
    header->setTextColor(UIColor::blackColor());
    header->setContentMode(UIViewContentModeRedraw);
    header->m_owningLayer = layer;
    header->m_section = section;
    header->setUserInteractionEnabled(true);
    return header;
}

void LGridSectionHeader::setView(const Ref<UIView>& view)
{
    setText("");
    auto children = subviews();
    for (const auto& child : children)
        child->removeFromSuperview();
    if (view)
        addSubview(view);
}

void LGridSectionHeader::respondToSelectionEvent()
{
    auto section = m_section.lock();
    if (!section || section->containsFrozenRows())
        return;
    auto protectedThis = self<LGridSectionHeader>();
    section->collapseOrExpandProgrammaticWithCompletion(false, nullptr);
    bringToFront();
}

void LGridSectionHeader::setCenterPinMovement(CGPoint point, bool pin)
{
    if (pin)
        point.x = center().x;
    setCenter(point);
}

void LGridSectionHeader::adjustYPositionOfCentreBy(float delta)
{
    CGPoint c = center();
    setCenter(CGPointMake(c.x, c.y + delta));
}

void LGridSectionHeader::setCollapsed(bool collapsed)
{
    if (collapsed && alpha() != 0)
        m_previousAlpha = alpha();
    m_collapsed = collapsed;
    setAlpha(collapsed ? 0 : m_previousAlpha);
}

Ref<LGridLayerContent> LGridSectionHeader::owningContentPane() const
{
    auto layer = owningLayer();
    return layer ? layer->content() : nullptr;
}

Ref<LatticeGrid> LGridSectionHeader::owningGrid() const
{
    auto layer = owningLayer();
    return layer ? layer->grid() : nullptr;
}

void LGridSectionHeader::bringToFront()
{
    if (auto pane = owningContentPane())
        pane->bringSubviewToFront(self<LGridSectionHeader>());
}

void LGridSectionHeader::sendToBack()
{
    if (auto pane = owningContentPane())
        pane->sendSubviewToBack(self<LGridSectionHeader>());
}
