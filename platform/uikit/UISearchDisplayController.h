#pragma once

#include "foundation/NSObject.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITableView.h"

#include <string>

class UISearchBar;
class UISearchDisplayController;
class UIViewController;

// What a search display controller tells and asks its delegate; all optional.
class UISearchDisplayDelegate {
public:
    virtual ~UISearchDisplayDelegate() = default;
    virtual void searchDisplayControllerWillBeginSearch(const Ref<UISearchDisplayController>&) { }
    virtual void searchDisplayControllerDidBeginSearch(const Ref<UISearchDisplayController>&) { }
    virtual void searchDisplayControllerWillEndSearch(const Ref<UISearchDisplayController>&) { }
    virtual void searchDisplayControllerDidEndSearch(const Ref<UISearchDisplayController>&) { }
    virtual void searchDisplayControllerWillShowSearchResultsTableView(
        const Ref<UISearchDisplayController>&, const Ref<UITableView>&)
    {
    }
    virtual void searchDisplayControllerDidShowSearchResultsTableView(
        const Ref<UISearchDisplayController>&, const Ref<UITableView>&)
    {
    }
    virtual void searchDisplayControllerWillHideSearchResultsTableView(
        const Ref<UISearchDisplayController>&, const Ref<UITableView>&)
    {
    }
    virtual void searchDisplayControllerDidHideSearchResultsTableView(
        const Ref<UISearchDisplayController>&, const Ref<UITableView>&)
    {
    }
    virtual bool searchDisplayControllerShouldReloadTableForSearchString(
        const Ref<UISearchDisplayController>&, const std::string&)
    {
        return true;
    }
};

// Runs a search over a contents controller: editing the search bar makes it active; while the
// bar holds text its results table is shown over the contents controller's view (and reloaded
// when the delegate agrees for each new string); emptying the text hides the table; the cancel
// button, or setActive(false), ends the search, clearing the text and the keyboard. On the
// tablet, when the search bar lies outside the contents controller's view (in a navigation bar,
// say), the table is shown instead in a popover hanging from the search bar; the bar stays
// usable while it shows, and touching elsewhere ends the search. Holds its search bar and
// contents controller weakly. Main thread only.
class UISearchDisplayController : public NSObject, public UIPopoverControllerDelegate {
    VX_OBJECT(UISearchDisplayController, NSObject)
public:
    explicit UISearchDisplayController(Passkey key)
        : NSObject(key)
    {
    }
    // Takes down a results popover still showing: a shown popover keeps itself alive until it
    // is dismissed.
    ~UISearchDisplayController() override;
    static Ref<UISearchDisplayController> initWithSearchBarContentsController(
        const Ref<UISearchBar>& searchBar, const Ref<UIViewController>& contentsController);

    Ref<UISearchBar> searchBar() const { return m_searchBar.lock(); }
    Ref<UIViewController> searchContentsController() const { return m_contents.lock(); }
    void setDelegate(UISearchDisplayDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UISearchDisplayDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    void setSearchResultsDataSource(UITableViewDataSource* dataSource, Weak<NSObject> owner);
    void setSearchResultsDelegate(UITableViewDelegate* delegate, Weak<NSObject> owner);
    // Made on first use.
    const Ref<UITableView>& searchResultsTableView();
    bool isSearchResultsTableVisible() const { return m_tableShown; }
    // The popover showing the results table, while it shows.
    Ref<UIPopoverController> searchResultsPopover() const { return m_popover; }
    bool displaysSearchBarInNavigationBar() const { return m_inNavigationBar; }
    void setDisplaysSearchBarInNavigationBar(bool v) { m_inNavigationBar = v; }

    bool isActive() const { return m_active; }
    void setActive(bool active) { setActiveAnimated(active, false); }
    void setActiveAnimated(bool active, bool animated);

    // From the search bar.
    void searchBarDidBeginEditing();
    void searchBarTextDidChange(const std::string& text);
    void searchBarCancelled();

private:
    Ref<UISearchDisplayController> protectedThis() { return self<UISearchDisplayController>(); }
    void showTable(bool show);
    bool showsResultsInPopover() const;
    void popoverControllerDidDismissPopover(const Ref<UIPopoverController>&) override;

    Weak<UISearchBar> m_searchBar;
    Weak<UIViewController> m_contents;
    UISearchDisplayDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    UITableViewDataSource* m_resultsDataSource { nullptr };
    Weak<NSObject> m_resultsDataSourceOwner;
    UITableViewDelegate* m_resultsDelegate { nullptr };
    Weak<NSObject> m_resultsDelegateOwner;
    Ref<UITableView> m_table;
    Ref<UIPopoverController> m_popover;
    bool m_active { false };
    bool m_tableShown { false };
    bool m_inNavigationBar { false };
};
