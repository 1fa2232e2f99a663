// Merge and publication: answers merged into the working set, the published set and its plane lists.
#include "app/core/KESTLiveDataManager.h"

#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTPlaneAnswer.h"
#include "app/core/KESTSettingsManager.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSTimer.h"

void KESTLiveDataManager::parsePlaneDataResponse(const Value& answer, bool performDiff, Block success, Block failure)
{
    parsePlaneAnswer(KESTPlaneAnswer::fromJSONObject(answer), performDiff, std::move(success), std::move(failure));
}

void KESTLiveDataManager::parsePlaneAnswer(
    std::shared_ptr<const KESTPlaneAnswer> answer, bool performDiff, Block success, Block failure)
{
    cacheDeviceUTCTimestamp();
    m_lastFetchTS = m_deviceUTCTime.load();
    m_hasFetched = true;
    if (!answer) {
        reportPollFailure("the answer holds no plane table");
        if (failure)
            failure();
        return;
    }
    auto group = dispatch_group_create();
    auto queue = dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_BACKGROUND, 0);
    auto self = this->self<KESTLiveDataManager>();
    dispatch_group_async(group, queue, [self, answer] { self->mergeAnswer(*answer); });
    dispatch_group_notify(group, queue, [self, answer, performDiff, success = std::move(success)] {
        self->finishAnswer(*answer, performDiff, success);
    });
}

void KESTLiveDataManager::mergeAnswer(const KESTPlaneAnswer& answer)
{
    bool faaOff = KESTSettingsManager::sharedInstance()->faaData() == 0;
    // The records are checked and filtered first, so the serial queue is taken once per answer
    // rather than once per plane; they are applied in the answer's order.
    std::vector<const KESTPlaneAnswer::Record*> records;
    records.reserve(answer.records.size());
    for (const auto& record : answer.records) {
        if (!record.fields) {
            NSLog("Skipping malformed plane record %@", record.adshex);
            continue;
        }
        if (faaOff && record.fields->dataType == 1)
            continue;
        records.push_back(&record);
    }
    dispatch_sync(serialQueue(), [this, &records] {
        for (const auto* record : records) {
            auto found = m_liveDataDirty.find(record->adshex);
            if (found != m_liveDataDirty.end()) {
                found->second->updateFields(*record->fields);
                continue;
            }
            m_liveDataDirty.emplace(
                record->adshex, KESTPlane::initWithAdshexAndFields(record->adshex, *record->fields));
            m_workingSetChanged = true;
        }
    });
}

void KESTLiveDataManager::finishAnswer(const KESTPlaneAnswer& answer, bool full, const Block& success)
{
    auto queue = serialQueue();
    if (full) {
        dispatch_sync(queue, [this, &answer] {
            for (auto it = m_liveDataDirty.begin(); it != m_liveDataDirty.end();) {
                if (!answer.index.contains(it->first)) {
                    it = m_liveDataDirty.erase(it);
                    m_workingSetChanged = true;
                } else {
                    ++it;
                }
            }
        });
    }
    dispatch_sync(queue, [this] {
        // Planes are shared and updated in place, so while no plane has joined or left the
        // working set since the last publication the published set already holds it.
        if (!m_workingSetChanged)
            return;
        m_workingSetChanged = false;
        m_liveData.set(std::make_shared<const PlaneMap>(m_liveDataDirty));
    });

    if (full && !searchDictionary().isNil())
        serveSearch();

    auto self = this->self<KESTLiveDataManager>();
    if (full) {
        m_hasPerformedFullPoll = true;
        dispatch_async(dispatch_get_main_queue(), [self] {
            if (self->m_fastStartTimer) {
                self->m_fastStartTimer->invalidate();
                self->m_fastStartTimer = nullptr;
            }
        });
    } else if (!m_hasPerformedFullPoll && !m_hasRequestedFullPollAfterFastStart.exchange(true)) {
        dispatch_async(dispatch_get_main_queue(), [self] { self->performFullPoll(); });
    }
    dispatch_async(dispatch_get_main_queue(), [full] {
        NSNotificationCenter::defaultCenter()->postNotificationName(
            KESTLiveDataUpdatedNotification, nullptr, Value::dictionary({ { Value("delta"), Value(!full) } }));
    });
    if (success)
        success();
}

std::shared_ptr<const KESTLiveDataManager::PlaneMap> KESTLiveDataManager::liveData() const
{
    return m_liveData.get();
}

std::vector<Ref<KESTPlane>> KESTLiveDataManager::unfilteredPlaneArray()
{
    auto published = liveData();
    std::vector<Ref<KESTPlane>> planes;
    planes.reserve(published->size());
    for (const auto& [key, plane] : *published)
        planes.push_back(plane);
    return planes;
}

std::vector<Ref<KESTPlane>> KESTLiveDataManager::planeArray()
{
    auto planes = unfilteredPlaneArray();
    auto predicate = KESTFilterDataManager::sharedInstance()->predicate();
    if (predicate) {
        try {
            std::vector<Ref<KESTPlane>> filtered;
            for (const auto& plane : planes) {
                if (predicate->evaluateWithObject(Value(plane)))
                    filtered.push_back(plane);
            }
            planes = std::move(filtered);
        } catch (const NSException& exception) {
            // A filter that cannot be evaluated switches every filter off, so the user sees
            // planes again, and the unfiltered list is served.
            if (auto context = filterMOC()) {
                bool ok = true;
                context->performBlockAndWait([&] {
                    Ref<NSError> error;
                    Value filters = context->executeFetchRequest(
                        NSFetchRequest::fetchRequestWithEntityName("KESTFilter"), &error);
                    if (error) {
                        ok = false;
                        return;
                    }
                    for (const auto& filter : filters.elements()) {
                        if (auto object = filter.objectAs<NSManagedObject>())
                            object->setValueForKey(Value(), "filterActive");
                    }
                    if (!context->save(&error))
                        ok = false;
                });
                if (ok) {
                    if (auto parent = context->parentContext()) {
                        parent->performBlock([parent] {
                            Ref<NSError> error;
                            parent->save(&error);
                        });
                    }
                }
            }
            NSLog("Exception: %@", std::string(exception.what()));
        }
    }
    return planes;
}

Ref<KESTPlane> KESTLiveDataManager::planeWithADSHEX(const std::string& adshex)
{
    auto published = liveData();
    auto found = published->find(adshex);
    return found == published->end() ? nullptr : found->second;
}

Ref<NSManagedObjectContext> KESTLiveDataManager::filterMOC()
{
    std::lock_guard guard(m_stateLock);
    if (!m_filterMOC && m_managedObjectContext) {
        m_filterMOC
            = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSPrivateQueueConcurrencyType);
        m_filterMOC->setParentContext(m_managedObjectContext);
    }
    return m_filterMOC;
}
