// The search bar: typing waits for a pause, then the search screen runs the phrase.

#include "app/view-controllers/map/KESTMapViewController.h"

#include "app/view-controllers/search/KESTSearchViewController.h"
#include "foundation/NSTimer.h"
#include "uikit/UISearchBar.h"
#include "uikit/UISearchDisplayController.h"
#include "uikit/UITableView.h"

void KESTMapViewController::searchBarTextDidChange(const Ref<UISearchBar>& searchBar, const std::string&)
{
    if (m_searchTimer) {
        m_searchTimer->invalidate();
        m_searchTimer = nullptr;
    }
    m_searchTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        kSearchDelay, protectedSelf(), &KESTMapViewController::executeSearch, Value::object(searchBar), false);
}

void KESTMapViewController::executeSearch(const Ref<NSTimer>& timer)
{
    if (timer == m_searchTimer)
        m_searchTimer = nullptr;
    auto searchBar = timer ? timer->userInfo().objectAs<UISearchBar>() : nullptr;
    if (searchBar && m_searchVC)
        m_searchVC->performSearchWithPhrase(searchBar->text());
}

void KESTMapViewController::cancelSearch()
{
    if (m_searchController)
        m_searchController->setActiveAnimated(false, true);
}

void KESTMapViewController::searchDisplayControllerWillShowSearchResultsTableView(
    const Ref<UISearchDisplayController>&, const Ref<UITableView>& tableView)
{
    if (!tableView)
        return;
    tableView->setContentInset(UIEdgeInsetsZero);
    tableView->setScrollIndicatorInsets(UIEdgeInsetsZero);
}
