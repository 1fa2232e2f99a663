#include "uikit/UISearchDisplayController.h"

#include "uikit/UIDevice.h"
#include "uikit/UISearchBar.h"
#include "uikit/UIViewController.h"

#include <utility>

VX_REGISTER_CLASS(UISearchDisplayController);

UISearchDisplayController::~UISearchDisplayController()
{
    if (m_popover)
        m_popover->dismissPopoverAnimated(false);
}

Ref<UISearchDisplayController> UISearchDisplayController::initWithSearchBarContentsController(
    const Ref<UISearchBar>& searchBar, const Ref<UIViewController>& contentsController)
{
    auto controller = make<UISearchDisplayController>();
    controller->m_searchBar = searchBar;
    controller->m_contents = contentsController;
    if (searchBar)
        searchBar->setDisplayController(controller);
    return controller;
}

void UISearchDisplayController::setSearchResultsDataSource(UITableViewDataSource* dataSource, Weak<NSObject> owner)
{
    m_resultsDataSource = dataSource;
    m_resultsDataSourceOwner = owner;
    if (m_table)
        m_table->setDataSource(dataSource, std::move(owner));
}

void UISearchDisplayController::setSearchResultsDelegate(UITableViewDelegate* delegate, Weak<NSObject> owner)
{
    m_resultsDelegate = delegate;
    m_resultsDelegateOwner = owner;
    if (m_table)
        m_table->setTableDelegate(delegate, std::move(owner));
}

const Ref<UITableView>& UISearchDisplayController::searchResultsTableView()
{
    if (!m_table) {
        m_table = UITableView::initWithFrameStyle(CGRectZero, UITableViewStylePlain);
        m_table->setDataSource(m_resultsDataSource, m_resultsDataSourceOwner);
        m_table->setTableDelegate(m_resultsDelegate, m_resultsDelegateOwner);
    }
    return m_table;
}

bool UISearchDisplayController::showsResultsInPopover() const
{
    if (UI_USER_INTERFACE_IDIOM() != UIUserInterfaceIdiomPad)
        return false;
    auto bar = searchBar();
    if (!bar || !bar->window())
        return false;
    auto contents = searchContentsController();
    return !contents || !contents->isViewLoaded() || !bar->isDescendantOfView(contents->view());
}

void UISearchDisplayController::showTable(bool show)
{
    if (show == m_tableShown)
        return;
    auto self = protectedThis();
    auto table = searchResultsTableView();
    if (show) {
        if (auto* d = delegate())
            d->searchDisplayControllerWillShowSearchResultsTableView(self, table);
        if (showsResultsInPopover()) {
            // Each showing gets its own holder view, so a popover still finishing its dismissal
            // never takes the table out of the next one.
            auto bar = searchBar();
            auto holder = UIViewController::init();
            holder->setView(UIView::initWithFrame(table->bounds()));
            table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
            holder->view()->addSubview(table);
            m_popover = UIPopoverController::initWithContentViewController(holder);
            m_popover->setDelegate(this, self);
            m_popover->setPassthroughViews({ bar });
            m_popover->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
                bar->bounds(), bar, UIPopoverArrowDirectionUp | UIPopoverArrowDirectionDown, false);
            table->setFrame(holder->view()->bounds());
        } else if (auto contents = searchContentsController()) {
            auto view = contents->view();
            table->setFrame(view->bounds());
            table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
            view->addSubview(table);
        }
        m_tableShown = true;
        if (auto* d = delegate())
            d->searchDisplayControllerDidShowSearchResultsTableView(self, table);
    } else {
        if (auto* d = delegate())
            d->searchDisplayControllerWillHideSearchResultsTableView(self, table);
        table->removeFromSuperview();
        if (auto popover = std::exchange(m_popover, nullptr))
            popover->dismissPopoverAnimated(false);
        m_tableShown = false;
        if (auto* d = delegate())
            d->searchDisplayControllerDidHideSearchResultsTableView(self, table);
    }
}

void UISearchDisplayController::popoverControllerDidDismissPopover(const Ref<UIPopoverController>& popover)
{
    // The user touched outside the results: that ends the search.
    if (popover != m_popover)
        return;
    m_popover = nullptr;
    setActive(false);
}

void UISearchDisplayController::setActiveAnimated(bool active, bool)
{
    if (active == m_active)
        return;
    auto self = protectedThis();
    auto bar = searchBar();
    if (active) {
        if (auto* d = delegate())
            d->searchDisplayControllerWillBeginSearch(self);
        m_active = true;
        if (bar && !bar->isFirstResponder())
            bar->becomeFirstResponder();
        if (auto* d = delegate())
            d->searchDisplayControllerDidBeginSearch(self);
        return;
    }
    if (auto* d = delegate())
        d->searchDisplayControllerWillEndSearch(self);
    m_active = false;
    showTable(false);
    if (bar) {
        bar->setText("");
        bar->resignFirstResponder();
    }
    if (auto* d = delegate())
        d->searchDisplayControllerDidEndSearch(self);
}

void UISearchDisplayController::searchBarDidBeginEditing()
{
    setActive(true);
}

void UISearchDisplayController::searchBarTextDidChange(const std::string& text)
{
    if (!m_active)
        return;
    auto self = protectedThis();
    if (text.empty()) {
        showTable(false);
        return;
    }
    bool reload = true;
    if (auto* d = delegate())
        reload = d->searchDisplayControllerShouldReloadTableForSearchString(self, text);
    showTable(true);
    if (reload)
        searchResultsTableView()->reloadData();
}

void UISearchDisplayController::searchBarCancelled()
{
    setActive(false);
}
