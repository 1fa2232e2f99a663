#pragma once

#include "uikit/UITextView.h"

class LGridTextView;

// Told when a text view of the grid has been laid out for the first time.
class LGridTextViewDelegate {
public:
    virtual ~LGridTextViewDelegate() = default;
    virtual void didFinishLayingOutSGridTextView(const Ref<LGridTextView>& textView) = 0;
};

// The text view a multi-line cell edits in. After its first layout it tells its grid delegate
// (kept apart from the text view's own delegate). Main thread only.
class LGridTextView : public UITextView {
    VX_OBJECT(LGridTextView, UITextView)
public:
    explicit LGridTextView(Passkey key)
        : UITextView(key)
    {
    }
    static Ref<LGridTextView> initWithFrameWithDelegate(
        CGRect frame, LGridTextViewDelegate* delegate, Weak<NSObject> delegateOwner);

    LGridTextViewDelegate* gridDelegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    void setGridDelegate(LGridTextViewDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    bool laidOut() const { return m_laidOut; }
    void layoutSubviews() override;

private:
    LGridTextViewDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    bool m_laidOut { false };
};
