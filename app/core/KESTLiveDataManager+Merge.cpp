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

namespace {

// How many malformed records one answer names in the log, and how many named keys are kept.
constexpr size_t kMalformedRecordLinesPerAnswer = 10;
constexpr size_t kRememberedMalformedRecords = 100000;

} // namespace

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
    // The merge and the finish run one after the other in a single block on the background
    // queue: the finish only ever waited for the merge, and each extra hop between threads
    // costs more than the work of a small answer.
    auto queue = dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_BACKGROUND, 0);
    auto self = this->self<KESTLiveDataManager>();
    dispatch_async(queue, [self, answer = std::move(answer), performDiff, success = std::move(success)]() mutable {
        self->mergeAnswer(*answer, performDiff);
        // The answer is no longer needed: free it before the finish rather than after.
        answer.reset();
        self->finishAnswer(performDiff, success);
    });
}

void KESTLiveDataManager::mergeAnswer(const KESTPlaneAnswer& answer, bool full)
{
    bool faaOff = KESTSettingsManager::sharedInstance()->faaData() == 0;
    // The serial queue is taken once per answer rather than once per plane: the records are
    // applied in the answer's order, then a full answer drops what it does not list and the
    // working set is published.
    dispatch_sync(serialQueue(), [this, &answer, faaOff, full] {
        uint64_t stamp = full ? ++m_fullAnswerCount : 0;
        std::vector<WorkingSet::value_type*> order;
        if (full)
            order.reserve(answer.size());
        const auto& hints = m_lastFullAnswerOrder;
        // The hinted entries and their planes lie all over the heap: each is asked for a few
        // records ahead (the entry, then its plane) so that their loads overlap.
        constexpr size_t kEntryLookAhead = 8;
        constexpr size_t kPlaneLookAhead = 4;
        // Each record's fields are read into these, then copied into its plane.
        KESTPlane::Fields fields;
        // Each malformed record is named once; a flood of them (every record of an answer)
        // names a few per answer and counts the rest, which later answers name.
        size_t malformedLines = 0;
        size_t malformedUnnamed = 0;
        auto reportMalformed = [&](const std::string& key) {
            if (m_reportedMalformedRecords.size() >= kRememberedMalformedRecords)
                m_reportedMalformedRecords.clear();
            if (m_reportedMalformedRecords.count(key))
                return;
            if (malformedLines == kMalformedRecordLinesPerAnswer) {
                ++malformedUnnamed;
                return;
            }
            m_reportedMalformedRecords.insert(key);
            ++malformedLines;
            NSLog("Skipping malformed plane record %@", key);
        };
        for (const auto& key : answer.unreadableKeys())
            reportMalformed(key);
        for (size_t position = 0; position < answer.size(); ++position) {
            if (position + kEntryLookAhead < hints.size())
                __builtin_prefetch(hints[position + kEntryLookAhead]);
            if (position + kPlaneLookAhead < hints.size())
                hints[position + kPlaneLookAhead]->second.plane->prefetchForUpdate();
            std::string_view key = answer.key(position);
            bool valid = answer.readFields(position, fields);
            bool skipped = !valid || (faaOff && fields.dataType == 1);
            if (!valid)
                reportMalformed(std::string(key));
            WorkingSet::value_type* entry = nullptr;
            if (position < hints.size() && hints[position]->first == key) {
                entry = hints[position];
            } else if (auto found = m_liveDataDirty.find(std::string(key)); found != m_liveDataDirty.end()) {
                entry = &*found;
            }
            if (entry) {
                // A skipped plane that the answer still lists stays, with its earlier data.
                if (!skipped)
                    entry->second.plane->updateFields(fields);
            } else if (!skipped) {
                std::string adshex(key);
                auto plane = KESTPlane::initWithAdshexAndFields(adshex, fields);
                entry = &*m_liveDataDirty.emplace(std::move(adshex), WorkingPlane { std::move(plane) }).first;
                m_workingSetChanged = true;
                if (!full)
                    m_addedSinceLastFullAnswer.push_back(entry);
            }
            if (full && entry && entry->second.listedBy != stamp) {
                entry->second.listedBy = stamp;
                order.push_back(entry);
            }
        }
        if (malformedUnnamed > 0)
            NSLog("Skipping %@ more malformed plane records", std::to_string(malformedUnnamed));
        if (full) {
            // The answer listed every working plane when it stamped as many as the set holds.
            // Otherwise the unlisted ones are among the entries the last full answer listed
            // and those delta answers added since.
            if (order.size() != m_liveDataDirty.size()) {
                std::vector<std::string> unlisted;
                for (const auto* entries : { &m_lastFullAnswerOrder, &m_addedSinceLastFullAnswer }) {
                    for (const auto* entry : *entries) {
                        if (entry->second.listedBy != stamp)
                            unlisted.push_back(entry->first);
                    }
                }
                for (const auto& key : unlisted)
                    m_liveDataDirty.erase(key);
                m_workingSetChanged = true;
            }
            m_lastFullAnswerOrder = std::move(order);
            m_addedSinceLastFullAnswer.clear();
        }
        // Planes are shared and updated in place, so while no plane has joined or left the
        // working set since the last publication the published set already holds it.
        if (!m_workingSetChanged)
            return;
        m_workingSetChanged = false;
        auto published = std::make_shared<PlaneMap>();
        published->reserve(m_liveDataDirty.size());
        for (const auto& [key, working] : m_liveDataDirty)
            published->emplace(key, working.plane);
        m_liveData.set(std::move(published));
    });
}

void KESTLiveDataManager::finishAnswer(bool full, const Block& success)
{
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
    auto predicate = KESTFilterDataManager::sharedInstance()->predicate();
    if (!predicate)
        return unfilteredPlaneArray();
    std::vector<Ref<KESTPlane>> planes;
    {
        // The published set is read where it lies: only the planes that pass are copied out.
        auto published = liveData();
        try {
            // The planes lie all over the heap and waiting for each one's first load dominated:
            // the plane a few entries ahead is asked for while this one is tested.
            constexpr int kLookAhead = 4;
            auto ahead = published->begin();
            for (int step = 0; step < kLookAhead && ahead != published->end(); ++step)
                ++ahead;
            for (const auto& [key, plane] : *published) {
                if (ahead != published->end()) {
                    ahead->second->prefetchForUpdate();
                    ++ahead;
                }
                if (predicate->evaluateWithObject(Value(plane)))
                    planes.push_back(plane);
            }
        } catch (const NSException& exception) {
            planes = unfilteredPlaneArray();
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
