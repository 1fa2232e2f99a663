// Search: selects the plane a search asked for after a full answer, or shows "Not currently tracked".
#include "app/core/KESTLiveDataManager.h"

#include "app/core/KESTLiveDataManagerInternal.h"
#include "foundation/NSLog.h"

void KESTLiveDataManager::serveSearch()
{
    Value search = searchDictionary();
    bool found = false;
    auto planes = planeArray();
    auto self = this->self<KESTLiveDataManager>();
    auto select = [&](const Ref<KESTPlane>& plane) {
        found = true;
        dispatch_async(dispatch_get_main_queue(), [self, plane] {
            if (auto delegate = self->delegate())
                delegate->selectAnnotationMakeVisible(plane, true);
        });
    };
    for (const auto& [key, value] : search.entries()) {
        std::string text = value.stringValue();
        for (const auto& plane : planes) {
            if (key == Value("adshex")) {
                if (plane->adshex() == text)
                    select(plane);
            } else if (key == Value("callsign")) {
                if (plane->callsign() == text)
                    select(plane);
                else if (!found && plane->fltno() == text)
                    select(plane);
            }
        }
    }
    if (!found) {
        dispatch_async(dispatch_get_main_queue(), [] {
            AlertPresenter presenter = KESTLiveDataManagerInternal::alertPresenter();
            if (presenter)
                presenter("Not currently tracked", "This flight is out of range or not currently tracked.", "Continue");
            else
                NSLog("%@: %@", std::string("Not currently tracked"),
                    std::string("This flight is out of range or not currently tracked."));
        });
    }
    setSearchDictionary(Value());
}

Value KESTLiveDataManager::searchDictionary() const
{
    std::lock_guard guard(m_stateLock);
    return m_searchDictionary;
}

void KESTLiveDataManager::setSearchDictionary(const Value& search)
{
    std::lock_guard guard(m_stateLock);
    m_searchDictionary = search.copy();
}
