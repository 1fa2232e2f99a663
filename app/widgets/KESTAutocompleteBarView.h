#pragma once

#include "uikit/UIView.h"

#include <optional>
#include <string>
#include <vector>

class KESTAutocompleteBarView;
class KESTTokenButton;
class UILabel;
class UIScrollView;

// Told when the user picks a suggestion of an autocomplete bar.
class KESTAutocompleteDelegate {
public:
    virtual ~KESTAutocompleteDelegate() = default;
    virtual void autocompleteBarDidSelectSuggestion(
        const Ref<KESTAutocompleteBarView>& bar, const Ref<KESTTokenButton>& suggestion)
        = 0;
};

// The strip above the keyboard (a text field's input accessory view) that offers suggestions
// as a horizontally scrolling row of token buttons, or the grey hint "Type for suggestions"
// when there is none. The delegate is not retained. Main thread only.
class KESTAutocompleteBarView : public UIView {
    VX_OBJECT(KESTAutocompleteBarView, UIView)
public:
    explicit KESTAutocompleteBarView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTAutocompleteBarView> initWithFrame(CGRect frame);

    void layoutSubviews() override;

    // Replaces the suggestions; nil or empty shows the hint. Lays the buttons out from x 10
    // with 5 points between them and scrolls back to the start.
    void showSuggestions(const std::vector<Ref<KESTTokenButton>>& suggestions);
    void didPressSuggestion(const Ref<NSObject>& button);

    // Shows `text` as the only suggestion at once (nothing for an empty text); with a URL, asks
    // it for a suggestion reply (a JSON array of objects with "title" and "data") and, when the
    // reply comes, shows the typed text followed by one token per well-formed element. Replies
    // are not matched to later texts: the last to arrive decides. A failed request, or a reply
    // that is not an array, changes nothing.
    void showSuggestionsForTextFromURL(const std::string& text, const std::optional<std::string>& url);
    // The suggestions of a reply to `text`; nullopt when the reply is not an array.
    static std::optional<std::vector<Ref<KESTTokenButton>>> suggestionsForReply(
        const std::string& text, const Value& reply);

    KESTAutocompleteDelegate* delegate() const;
    void setDelegate(KESTAutocompleteDelegate* delegate, const Ref<NSObject>& owner);

    const Ref<UILabel>& placeholderLabel() const { return m_placeholderLabel; }
    const Ref<UIScrollView>& scrollView() const { return m_scrollView; }
    const std::vector<Ref<KESTTokenButton>>& suggestions() const { return m_suggestions; }

private:
    Ref<UIScrollView> m_scrollView;
    Ref<UILabel> m_placeholderLabel;
    std::vector<Ref<KESTTokenButton>> m_suggestions;
    KESTAutocompleteDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
