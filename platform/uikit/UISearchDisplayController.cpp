#include "UISearchDisplayController.h"

#include "UISearchBar.h"
#include "UIViewController.h"

VX_REGISTER_CLASS(UISearchDisplayController);

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

void UISearchDisplayController::showTable(bool show)
{
    if (show == m_tableShown)
        return;
    auto self = protectedThis();
    auto table = searchResultsTableView();
    if (show) {
        if (auto* d = delegate())
            d->searchDisplayControllerWillShowSearchResultsTableView(self, table);
        if (auto contents = searchContentsController()) {
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
        m_tableShown = false;
        if (auto* d = delegate())
            d->searchDisplayControllerDidHideSearchResultsTableView(self, table);
    }
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
