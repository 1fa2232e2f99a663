#pragma once

#include "grid/GridForward.h"
#include "grid/LGridCell.h"
#include "uikit/UILabel.h"

// One part of a section's header band: a label in one pane (over the frozen columns or over the
// scrolling ones). A selection or edit event on it toggles its section, unless the section has
// loaded cells in frozen rows. Main thread only; the pane and the section are weak links.
class LGridSectionHeader : public UILabel, public LGridEventResponder {
    VX_OBJECT(LGridSectionHeader, UILabel)
public:
    explicit LGridSectionHeader(Passkey key)
        : UILabel(key)
    {
    }
    static Ref<LGridSectionHeader> initWithLayerWithSection(
        const Ref<LGridLayer>& layer, const Ref<LGridSection>& section);

    // Shows `view` as the only subview instead of the text.
    void setView(const Ref<UIView>& view);

    void actUponSelectionEvent() { respondToSelectionEvent(); }
    void actUponEditEvent() { respondToEditEvent(); }
    void respondToSelectionEvent() override;
    void respondToEditEvent() override { respondToSelectionEvent(); }

    // With pin, only the vertical position changes.
    void setCenterPinMovement(CGPoint center, bool pin);
    void adjustYPositionOfCentreBy(float delta);
    bool isCollapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed);

    Ref<LGridLayer> owningLayer() const { return m_owningLayer.lock(); }
    void setOwningLayer(const Ref<LGridLayer>& layer) { m_owningLayer = layer; }
    Ref<LGridLayerContent> owningContentPane() const;
    Ref<LatticeGrid> owningGrid() const;
    Ref<LGridSection> section() const { return m_section.lock(); }
    void bringToFront();
    void sendToBack();
    void removeFromContent() { removeFromSuperview(); }
    float height() const { return frame().size.height; }

private:
    Weak<LGridLayer> m_owningLayer;
    Weak<LGridSection> m_section;
    float m_previousAlpha { 1 };
    bool m_collapsed { false };
};
