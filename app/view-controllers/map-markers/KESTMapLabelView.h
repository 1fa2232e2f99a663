#pragma once

#include "uikit/UIView.h"

#include <optional>
#include <string>

class KESTMapLabelView;
class UILabel;

// Told after every change of the banner's texts, so that its owner can place it vertically.
class KESTMapLabelDelegate {
public:
    virtual ~KESTMapLabelDelegate() = default;
    virtual void mapLabelViewDidUpdate(const Ref<KESTMapLabelView>& banner) = 0;
};

// The small banner floating over the map: a count line ("12 of 40 visible") and a message
// line, either or both. It sizes itself to its text, centres itself horizontally in its
// superview (its y is left to the owner), draws a stretchable dark background behind the text
// and tells its delegate after each change. Main thread only.
class KESTMapLabelView : public UIView {
    VX_OBJECT(KESTMapLabelView, UIView)
public:
    explicit KESTMapLabelView(Passkey key)
        : UIView(key)
    {
    }
    // Clear background, no texts, and the white, shadowed, centred label of system font 10.
    static Ref<KESTMapLabelView> initWithFrame(CGRect frame);

    const Ref<UILabel>& messageLabel() const { return m_messageLabel; }
    const std::optional<std::string>& count() const { return m_count; }
    const std::optional<std::string>& message() const { return m_message; }
    // Store the text (nullopt clears it), lay out, then tell the delegate.
    void setCount(std::optional<std::string> count);
    void setMessage(std::optional<std::string> message);

    Ref<KESTMapLabelDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(Weak<KESTMapLabelDelegate> delegate) { m_delegate = std::move(delegate); }

    // Text, size and horizontal place from the two lines.
    void updateLayout();
    // The background image stretched over the bounds; nothing while the text is empty.
    void drawRect(CGRect rect) override;

private:
    void changed();

    Ref<UILabel> m_messageLabel;
    std::optional<std::string> m_count;
    std::optional<std::string> m_message;
    Weak<KESTMapLabelDelegate> m_delegate;
};
