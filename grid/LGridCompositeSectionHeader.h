#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"
#include "uikit/UIView.h"

#include <array>
#include <optional>
#include <string>

// The header band of a section, made of two parts: slot 0 in the horizontally frozen pane, slot
// 1 in the liquid pane. Holds the titles and custom views of both (a custom view wins over a
// title) and the shadow on the frozen part's right edge. Owned by its section; main thread only.
class LGridCompositeSectionHeader : public NSObject {
    VX_OBJECT(LGridCompositeSectionHeader, NSObject)
public:
    explicit LGridCompositeSectionHeader(Passkey key)
        : NSObject(key)
    {
    }
    ~LGridCompositeSectionHeader() override;
    static Ref<LGridCompositeSectionHeader> initWithOwningSection(const Ref<LGridSection>& section);

    void addHeaderAsFrozen(const Ref<LGridSectionHeader>& header, bool frozen);
    // The part in slot 0 or 1; null when absent or for any other index.
    Ref<LGridSectionHeader> headerAtIndex(uint32_t index) const;
    bool hasAllSubheaders() const { return m_headers[0] && m_headers[1]; }
    void removeSubHeaders();

    const std::optional<std::string>& frozenTitle() const { return m_frozenTitle; }
    const std::optional<std::string>& liquidTitle() const { return m_liquidTitle; }
    void setFrozenTitle(const std::optional<std::string>& title);
    void setLiquidTitle(const std::optional<std::string>& title);
    const Ref<UIView>& frozenView() const { return m_frozenView; }
    const Ref<UIView>& liquidView() const { return m_liquidView; }
    void setFrozenView(const Ref<UIView>& view);
    void setLiquidView(const Ref<UIView>& view);
    void updateTitlesAndViews();

    // Fades the frozen part's right-edge shadow in (once) or hides it at once.
    void setShowShadow(bool show);
    const Ref<LGridShadow>& shadow() const { return m_shadow; }

    // Sent on to both parts, slot 0 first.
    void bringToFront();
    void sendToBack();
    void removeFromContent();
    void adjustYPositionOfCentreBy(float delta);
    void setCenterPinMovement(CGPoint center, bool pin);
    void setFrame(CGRect frame);
    void setHidden(bool hidden);

    CGPoint center() const;
    CGRect compositeFrame() const;
    float height() const;
    bool isCollapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed) { m_collapsed = collapsed; }
    Ref<LGridSection> owningSection() const { return m_owningSection.lock(); }
    void setOwningSection(const Ref<LGridSection>& section) { m_owningSection = section; }

private:
    template <typename F> void forEachPart(F&& f) const
    {
        for (const auto& part : m_headers) {
            if (part)
                f(part);
        }
    }

    std::optional<std::string> m_frozenTitle;
    std::optional<std::string> m_liquidTitle;
    Ref<UIView> m_frozenView;
    Ref<UIView> m_liquidView;
    Ref<LGridShadow> m_shadow;
    std::array<Ref<LGridSectionHeader>, 2> m_headers;
    bool m_collapsed { false };
    Weak<LGridSection> m_owningSection;
};
