#pragma once

#include "uikit/UITextField.h"
#include "uikit/UIView.h"

#include <map>
#include <string>
#include <vector>

class UIImage;
class UISearchBar;
class UISearchDisplayController;

enum UISearchBarStyle : int32_t {
    UISearchBarStyleDefault = 0,
    UISearchBarStyleProminent = 1,
    UISearchBarStyleMinimal = 2,
};

enum UISearchBarIcon : int32_t {
    UISearchBarIconSearch = 0,
    UISearchBarIconClear = 1,
    UISearchBarIconBookmark = 2,
    UISearchBarIconResultsList = 3,
};

// What a search bar asks and tells its delegate; all optional.
class UISearchBarDelegate {
public:
    virtual ~UISearchBarDelegate() = default;
    virtual bool searchBarShouldBeginEditing(const Ref<UISearchBar>&) { return true; }
    virtual void searchBarTextDidBeginEditing(const Ref<UISearchBar>&) { }
    virtual bool searchBarShouldEndEditing(const Ref<UISearchBar>&) { return true; }
    virtual void searchBarTextDidEndEditing(const Ref<UISearchBar>&) { }
    virtual void searchBarTextDidChange(const Ref<UISearchBar>&, const std::string&) { }
    virtual bool searchBarShouldChangeTextInRangeReplacementText(const Ref<UISearchBar>&, NSRange, const std::string&)
    {
        return true;
    }
    virtual void searchBarSearchButtonClicked(const Ref<UISearchBar>&) { }
    virtual void searchBarCancelButtonClicked(const Ref<UISearchBar>&) { }
    virtual void searchBarBookmarkButtonClicked(const Ref<UISearchBar>&) { }
    virtual void searchBarResultsListButtonClicked(const Ref<UISearchBar>&) { }
    virtual void searchBarSelectedScopeButtonIndexDidChange(const Ref<UISearchBar>&, int32_t) { }
};

// A search field with optional cancel, bookmark and results-list buttons and scope buttons.
// Typing goes to its text field; the bar reports edits, the search key (return) and its
// buttons to its delegate, and first to a search display controller attached to it. Setting
// text in code tells nobody. Main thread only.
class UISearchBar : public UIView, public UITextFieldDelegate {
    VX_OBJECT(UISearchBar, UIView)
public:
    explicit UISearchBar(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UISearchBar> initWithFrame(CGRect frame);

    void setDelegate(UISearchBarDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UISearchBarDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    const std::string& text() const { return m_field->text(); }
    void setText(const std::string& text) { m_field->setText(text); }
    const std::string& placeholder() const { return m_field->placeholder(); }
    void setPlaceholder(const std::string& placeholder) { m_field->setPlaceholder(placeholder); }
    const std::string& prompt() const { return m_prompt; }
    void setPrompt(const std::string& prompt) { m_prompt = prompt; }
    UISearchBarStyle searchBarStyle() const { return m_style; }
    void setSearchBarStyle(UISearchBarStyle style)
    {
        m_style = style;
        setNeedsDisplay();
    }
    bool showsCancelButton() const { return m_showsCancel; }
    void setShowsCancelButton(bool v) { m_showsCancel = v; }
    void setShowsCancelButtonAnimated(bool v, bool) { m_showsCancel = v; }
    bool showsBookmarkButton() const { return m_showsBookmark; }
    void setShowsBookmarkButton(bool v) { m_showsBookmark = v; }
    bool showsSearchResultsButton() const { return m_showsResults; }
    void setShowsSearchResultsButton(bool v) { m_showsResults = v; }
    const std::vector<std::string>& scopeButtonTitles() const { return m_scopeTitles; }
    void setScopeButtonTitles(std::vector<std::string> titles) { m_scopeTitles = std::move(titles); }
    bool showsScopeBar() const { return m_showsScopeBar; }
    void setShowsScopeBar(bool v) { m_showsScopeBar = v; }
    int32_t selectedScopeButtonIndex() const { return m_selectedScope; }
    void setSelectedScopeButtonIndex(int32_t index);
    // Drawn stretched over the bar in place of its grey.
    const Ref<UIImage>& backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const Ref<UIImage>& image)
    {
        m_backgroundImage = image;
        setNeedsDisplay();
    }
    Ref<UIImage> imageForSearchBarIconState(UISearchBarIcon icon, UIControlState state) const;
    void setImageForSearchBarIconState(const Ref<UIImage>& image, UISearchBarIcon icon, UIControlState state);
    UIKeyboardType keyboardType() const { return m_field->keyboardType(); }
    void setKeyboardType(UIKeyboardType type) { m_field->setKeyboardType(type); }
    // The field typing goes to.
    const Ref<UITextField>& searchField() const { return m_field; }

    // The user tapping the bar's buttons (only those shown do anything) and scope buttons.
    void userTapCancelButton();
    void userTapBookmarkButton();
    void userTapResultsListButton();
    void userTapScopeButton(int32_t index);

    bool canBecomeFirstResponder() const override { return true; }
    bool becomeFirstResponder() override { return m_field->becomeFirstResponder(); }
    bool resignFirstResponder() override { return m_field->resignFirstResponder(); }
    bool isFirstResponder() const { return m_field->isFirstResponder(); }

    // Set by a search display controller for its bar.
    void setDisplayController(const Ref<UISearchDisplayController>& controller) { m_displayController = controller; }

    void layoutSubviews() override;
    // The bar's grey behind a rounded field (none when it has a background colour), or its
    // background image when it has one.
    void drawRect(CGRect rect) override;
    CGSize sizeThatFits(CGSize size) const override { return CGSizeMake(size.width, 44); }

    // The field's delegate.
    bool textFieldShouldBeginEditing(const Ref<UITextField>&) override;
    void textFieldDidBeginEditing(const Ref<UITextField>&) override;
    bool textFieldShouldEndEditing(const Ref<UITextField>&) override;
    void textFieldDidEndEditing(const Ref<UITextField>&) override;
    bool textFieldShouldChangeCharactersInRangeReplacementString(
        const Ref<UITextField>&, NSRange, const std::string&) override;
    bool textFieldShouldClear(const Ref<UITextField>&) override { return true; }
    bool textFieldShouldReturn(const Ref<UITextField>&) override;

private:
    Ref<UISearchBar> protectedBar() { return std::static_pointer_cast<UISearchBar>(shared_from_this()); }
    void textChanged();

    UISearchBarDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    Weak<UISearchDisplayController> m_displayController;
    Ref<UITextField> m_field;
    std::string m_prompt;
    std::vector<std::string> m_scopeTitles;
    std::map<std::pair<int32_t, uint32_t>, Ref<UIImage>> m_icons;
    Ref<UIImage> m_backgroundImage;
    UISearchBarStyle m_style { UISearchBarStyleDefault };
    int32_t m_selectedScope { 0 };
    bool m_showsCancel { false };
    bool m_showsBookmark { false };
    bool m_showsResults { false };
    bool m_showsScopeBar { false };
};
