#include "grid/LGridCompositeSectionHeader.h"

#include "grid/LGridSectionHeader.h"
#include "grid/LGridShadow.h"

LGridCompositeSectionHeader::~LGridCompositeSectionHeader()
{
    if (m_shadow)
        m_shadow->removeFromSuperview();
}

Ref<LGridCompositeSectionHeader> LGridCompositeSectionHeader::initWithOwningSection(const Ref<LGridSection>& section)
{
    auto header = NSObject::make<LGridCompositeSectionHeader>();
    header->m_owningSection = section;
    return header;
}

void LGridCompositeSectionHeader::addHeaderAsFrozen(const Ref<LGridSectionHeader>& header, bool frozen)
{
    m_headers[frozen ? 0 : 1] = header;
    if (header)
        header->setTextAlignment(NSTextAlignmentCenter);
    updateTitlesAndViews();
}

Ref<LGridSectionHeader> LGridCompositeSectionHeader::headerAtIndex(uint32_t index) const
{
    return index < m_headers.size() ? m_headers[index] : nullptr;
}

void LGridCompositeSectionHeader::removeSubHeaders()
{
    for (auto& part : m_headers) {
        if (part)
            part->removeFromSuperview();
        part = nullptr;
    }
}

void LGridCompositeSectionHeader::setFrozenTitle(const std::optional<std::string>& title)
{
    if (title == m_frozenTitle)
        return;
    m_frozenTitle = title;
    updateTitlesAndViews();
}

void LGridCompositeSectionHeader::setLiquidTitle(const std::optional<std::string>& title)
{
    if (title == m_liquidTitle)
        return;
    m_liquidTitle = title;
    updateTitlesAndViews();
}

void LGridCompositeSectionHeader::setFrozenView(const Ref<UIView>& view)
{
    if (view == m_frozenView)
        return;
    m_frozenView = view;
    updateTitlesAndViews();
}

void LGridCompositeSectionHeader::setLiquidView(const Ref<UIView>& view)
{
    if (view == m_liquidView)
        return;
    m_liquidView = view;
    updateTitlesAndViews();
}

void LGridCompositeSectionHeader::updateTitlesAndViews()
{
    auto update
        = [](const Ref<LGridSectionHeader>& part, const std::optional<std::string>& title, const Ref<UIView>& view) {
              if (!part)
                  return;
              if (view)
                  part->setView(view);
              else
                  part->setText(title.value_or(""));
          };
    update(m_headers[0], m_frozenTitle, m_frozenView);
    update(m_headers[1], m_liquidTitle, m_liquidView);
}

void LGridCompositeSectionHeader::setShowShadow(bool show)
{
    const auto& frozen = m_headers[0];
    if (!frozen)
        return;
    if (!m_shadow) {
        m_shadow = LGridShadow::init();
        m_shadow->setHidden(true);
    }
    if (!show) {
        m_shadow->setHidden(true);
        return;
    }
    if (!m_shadow->isHidden())
        return;
    m_shadow->setHidden(false);
    m_shadow->setAlpha(0);
    auto shadow = m_shadow;
    UIView::animateWithDuration(0.3, [shadow] { shadow->setAlpha(1.0f); });
    m_shadow->addToView(frozen);
    m_shadow->attachOnSide(3);
}

void LGridCompositeSectionHeader::bringToFront()
{
    forEachPart([](const auto& part) { part->bringToFront(); });
}

void LGridCompositeSectionHeader::sendToBack()
{
    forEachPart([](const auto& part) { part->sendToBack(); });
}

void LGridCompositeSectionHeader::removeFromContent()
{
    forEachPart([](const auto& part) { part->removeFromContent(); });
}

void LGridCompositeSectionHeader::adjustYPositionOfCentreBy(float delta)
{
    forEachPart([delta](const auto& part) { part->adjustYPositionOfCentreBy(delta); });
}

void LGridCompositeSectionHeader::setCenterPinMovement(CGPoint center, bool pin)
{
    forEachPart([&](const auto& part) { part->setCenterPinMovement(center, pin); });
}

void LGridCompositeSectionHeader::setFrame(CGRect frame)
{
    forEachPart([&](const auto& part) { part->setFrame(frame); });
}

void LGridCompositeSectionHeader::setHidden(bool hidden)
{
    forEachPart([hidden](const auto& part) { part->setHidden(hidden); });
}

CGPoint LGridCompositeSectionHeader::center() const
{
    return m_headers[0] ? m_headers[0]->center() : CGPointZero;
}

CGRect LGridCompositeSectionHeader::compositeFrame() const
{
    CGRect first = m_headers[0] ? m_headers[0]->frame() : CGRectZero;
    CGRect second = m_headers[1] ? m_headers[1]->frame() : CGRectZero;
    return CGRectMake(first.origin.x, first.origin.y, second.origin.x + second.size.width - first.origin.x, height());
}

float LGridCompositeSectionHeader::height() const
{
    return m_headers[0] ? m_headers[0]->frame().size.height : 0;
}
