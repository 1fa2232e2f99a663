#pragma once

#include "foundation/NSDataDetector.h"
#include "foundation/Value.h"
#include "graphics/CoreText.h"
#include "graphics/NSAttributedString.h"
#include "graphics/UIGeometry.h"
#include "sdk/HBRHarborSDK.h"
#include "uikit/UILabel.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class HBRAttributedLabel;
class NSURL;

// The label's own run attributes.
inline constexpr const char* kHBRBackgroundFillColorAttributeName = "HBRBackgroundFillColor";
inline constexpr const char* kHBRBackgroundStrokeColorAttributeName = "HBRBackgroundStrokeColor";
inline constexpr const char* kHBRBackgroundCornerRadiusAttributeName = "HBRBackgroundCornerRadius";
inline constexpr const char* kHBRBackgroundLineWidthAttributeName = "HBRBackgroundLineWidth";
inline constexpr const char* kHBRStrikeOutAttributeName = "HBRStrikeOutAttribute";

// The data detector type bits of a label.
enum HBRDataDetectorTypes : uint32_t {
    UIDataDetectorTypePhoneNumber = 1 << 0,
    UIDataDetectorTypeLink = 1 << 1,
    UIDataDetectorTypeAddress = 1 << 2,
    UIDataDetectorTypeCalendarEvent = 1 << 3,
    UIDataDetectorTypeAll = 0xFFFFFFFFu,
};

// Told of a tapped link by kind; every operation is optional and answers false when it is not
// implemented, so the label can pass the link on to the general operation.
class HBRAttributedLabelDelegate {
public:
    virtual ~HBRAttributedLabelDelegate() = default;
    virtual bool attributedLabelDidSelectLinkWithURL(HBRAttributedLabel&, const Ref<NSURL>&) { return false; }
    virtual bool attributedLabelDidSelectLinkWithAddress(
        HBRAttributedLabel&, const std::vector<std::pair<std::string, std::string>>&)
    {
        return false;
    }
    virtual bool attributedLabelDidSelectLinkWithPhoneNumber(HBRAttributedLabel&, const std::string&) { return false; }
    virtual bool attributedLabelDidSelectLinkWithDate(HBRAttributedLabel&, double /*date*/) { return false; }
    virtual bool attributedLabelDidSelectLinkWithDateTimeZoneDuration(
        HBRAttributedLabel&, double /*date*/, const std::string& /*timeZone*/, double /*duration*/)
    {
        return false;
    }
    virtual bool attributedLabelDidSelectLinkWithTextCheckingResult(HBRAttributedLabel&, const NSTextCheckingResult&)
    {
        return false;
    }
};

// A label that lays out and draws attributed text itself: links found by a data detector (or
// added by hand) carry link attributes and are reported to the delegate when tapped; runs can
// have rounded background boxes and strike-outs; vertical alignment, insets, leading and
// truncation of the last line follow the label's settings. Main thread only.
class HBRAttributedLabel : public UILabel {
    VX_OBJECT(HBRAttributedLabel, UILabel)
public:
    explicit HBRAttributedLabel(Passkey key)
        : UILabel(key)
    {
    }
    static Ref<HBRAttributedLabel> initWithFrame(CGRect frame);

    enum VerticalAlignment : int32_t { Center = 0, Top = 1, Bottom = 2 };

    // Plain text is given the label's font, colour and paragraph style first.
    void setText(const std::string& text) override;
    void setText(const Ref<NSAttributedString>& text);
    using ConfigureBlock = std::function<Ref<NSAttributedString>(const Ref<NSAttributedString>&)>;
    void setTextAfterInheritingLabelAttributesAndConfiguringWithBlock(
        const Value& text, const ConfigureBlock& block); // a string or an attributed string object
    const Ref<NSAttributedString>& attributedText() const { return m_attributedText; }
    void setAttributedText(const Ref<NSAttributedString>& text);
    Ref<NSAttributedString> renderedAttributedText();
    const Ref<NSAttributedString>& inactiveAttributedText() const { return m_inactiveAttributedText; }

    HBRAttributedLabelDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(HBRAttributedLabelDelegate* delegate, Weak<NSObject> owner) { m_delegate = { delegate, owner }; }
    uint32_t dataDetectorTypes() const { return m_dataDetectorTypes; }
    void setDataDetectorTypes(uint32_t types);
    const Ref<NSDataDetector>& dataDetector() const { return m_dataDetector; }
    const std::vector<NSTextCheckingResult>& links() const { return m_links; }
    const Value& linkAttributes() const { return m_linkAttributes; }
    void setLinkAttributes(Value attributes) { m_linkAttributes = std::move(attributes); }
    const Value& activeLinkAttributes() const { return m_activeLinkAttributes; }
    void setActiveLinkAttributes(Value attributes) { m_activeLinkAttributes = std::move(attributes); }
    const std::optional<NSTextCheckingResult>& activeLink() const { return m_activeLink; }

    CGFloat shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(CGFloat value) { m_shadowRadius = value; }
    CGFloat leading() const { return m_leading; }
    void setLeading(CGFloat value) { m_leading = value; }
    CGFloat lineHeightMultiple() const { return m_lineHeightMultiple; }
    void setLineHeightMultiple(CGFloat value) { m_lineHeightMultiple = value; }
    CGFloat firstLineIndent() const { return m_firstLineIndent; }
    void setFirstLineIndent(CGFloat value) { m_firstLineIndent = value; }
    UIEdgeInsets textInsets() const { return m_textInsets; }
    void setTextInsets(UIEdgeInsets insets) { m_textInsets = insets; }
    int32_t verticalAlignment() const { return m_verticalAlignment; }
    void setVerticalAlignment(int32_t value) { m_verticalAlignment = value; }

    // Black when the label has no colour of its own.
    Ref<UIColor> textColor() const;
    void setTextColor(const Ref<UIColor>& color);
    void setHighlighted(bool highlighted);

    void addLinkWithTextCheckingResultAttributes(const NSTextCheckingResult& result, const Value& attributes);
    void addLinkWithTextCheckingResult(const NSTextCheckingResult& result);
    void addLinkToURLWithRange(const Ref<NSURL>& url, NSRange range);
    void addLinkToAddressWithRange(const std::vector<std::pair<std::string, std::string>>& address, NSRange range);
    void addLinkToPhoneNumberWithRange(const std::string& number, NSRange range);
    void addLinkToDateWithRange(double date, NSRange range);
    void addLinkToDateTimeZoneDurationWithRange(
        double date, const std::string& timeZone, double duration, NSRange range);

    std::optional<NSTextCheckingResult> linkAtCharacterIndex(NSInteger index) const;
    std::optional<NSTextCheckingResult> linkAtPoint(CGPoint point);
    // NSNotFound when the point hits no character.
    NSInteger characterIndexAtPoint(CGPoint point);

    CGRect textRectForBoundsLimitedToNumberOfLines(CGRect bounds, int32_t numberOfLines) const override;
    CGSize sizeThatFits(CGSize size) const override;
    void drawTextInRect(CGRect rect) override;
    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event) override;

    // How often the layout was rebuilt, for tests of the cache.
    uint32_t framesetterBuildCount() const { return m_framesetterBuilds; }

private:
    void commonInit();
    Value inheritedAttributes() const;
    void setNeedsFramesetter();
    CTFramesetterRef framesetter() const;
    CTFramesetterRef highlightFramesetter();
    void drawFramesetter(const CTFramesetterRef& framesetter, const Ref<NSAttributedString>& text, CGRect rect,
        const CGContextRef& context);
    void drawBackground(const CTFrameRef& frame, CGRect rect, const CGContextRef& context);
    void drawStrike(const CTFrameRef& frame, CGRect rect, const CGContextRef& context);
    void setLinkActiveWithTextCheckingResult(bool active, const std::optional<NSTextCheckingResult>& result);
    void notifyDelegate(const NSTextCheckingResult& result);
    bool sameLink(const std::optional<NSTextCheckingResult>& a, const std::optional<NSTextCheckingResult>& b) const;

    Ref<NSAttributedString> m_attributedText;
    mutable Ref<NSAttributedString> m_renderedAttributedText;
    Ref<NSAttributedString> m_inactiveAttributedText;
    mutable CTFramesetterRef m_framesetter;
    CTFramesetterRef m_highlightFramesetter;
    mutable bool m_needsFramesetter { false };
    mutable std::recursive_mutex m_framesetterLock;
    mutable uint32_t m_framesetterBuilds { 0 };
    HBRDelegateRef<HBRAttributedLabelDelegate> m_delegate;
    uint32_t m_dataDetectorTypes { 0 };
    Ref<NSDataDetector> m_dataDetector;
    std::vector<NSTextCheckingResult> m_links;
    Value m_linkAttributes;
    Value m_activeLinkAttributes;
    std::optional<NSTextCheckingResult> m_activeLink;
    CGFloat m_shadowRadius { 0 };
    CGFloat m_leading { 0 };
    CGFloat m_lineHeightMultiple { 0 };
    CGFloat m_firstLineIndent { 0 };
    UIEdgeInsets m_textInsets { 0, 0, 0, 0 };
    int32_t m_verticalAlignment { Center };
};
