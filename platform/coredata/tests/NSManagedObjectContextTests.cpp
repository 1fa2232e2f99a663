#include "coredata/CoreDataErrors.h"
#include "coredata/NSRelationshipDescription.h"
#include "coredata/tests/CoreDataTestSupport.h"
#include "foundation/NSException.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSThread.h"
#include "testing/Drain.h"
#include "testing/TemporarySandbox.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class NSManagedObjectContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerTestClasses();
        m_stack = Stack::open(storePath());
        ASSERT_TRUE(m_stack.store) << (m_stack.error ? m_stack.error->description() : "");
    }
    void TearDown() override
    {
        drainAll();
        resetForTesting();
    }
    std::string storePath() const { return m_sandbox.path("Volantrix.sqlite"); }
    const Ref<NSManagedObjectContext>& context() const { return m_stack.context; }

    Ref<NSManagedObject> bookmark(const char* name, double lat)
    {
        return insert(context(), "KESTBookmark", { { "bookmarkName", Value(name) }, { "bookmarkLat", Value(lat) } });
    }

    TemporarySandbox m_sandbox;
    Stack m_stack;
};

TEST_F(NSManagedObjectContextTest, SavesToTheFileAndReadsBackWithNilDistinctFromZero)
{
    auto saved = bookmark("Heathrow", 51.47);
    saved->setValueForKey(Value(0.0), "bookmarkLon");
    auto typed = std::dynamic_pointer_cast<TestBookmark>(saved);
    ASSERT_TRUE(typed) << "the entity's registered class is made";
    EXPECT_EQ(typed->awakeCount, 1);
    std::string uuid = saved->valueForKey("bookmarkuuid").stringValue();
    EXPECT_EQ(uuid.size(), 36u);
    EXPECT_TRUE(context()->hasChanges());
    Ref<NSError> error;
    ASSERT_TRUE(context()->save(&error));
    EXPECT_FALSE(context()->hasChanges());

    auto reopened = Stack::open(storePath());
    ASSERT_TRUE(reopened.store);
    auto rows = fetch(reopened.context, "KESTBookmark");
    ASSERT_EQ(rows.count(), 1u);
    auto row = rows[0].objectAs<NSManagedObject>();
    EXPECT_TRUE(std::dynamic_pointer_cast<TestBookmark>(row));
    EXPECT_EQ(std::dynamic_pointer_cast<TestBookmark>(row)->awakeCount, 0) << "fetching is not inserting";
    EXPECT_EQ(row->valueForKey("bookmarkName").stringValue(), "Heathrow");
    EXPECT_DOUBLE_EQ(row->valueForKey("bookmarkLat").doubleValue(), 51.47);
    EXPECT_EQ(row->valueForKey("bookmarkuuid").stringValue(), uuid);
    EXPECT_TRUE(row->valueForKey("bookmarkLon").isNumber()) << "zero stays a number";
    EXPECT_TRUE(row->valueForKey("bookmarkLatSpan").isNil()) << "unset stays nil";
    EXPECT_TRUE(row->valueForKey("bookmarkHomeSet").isNil());

    // Attributes for enumeration; an unset one reads as nil.
    Value names = row->entity()->attributesByName();
    EXPECT_TRUE(names.objectForKey(Value("bookmarkHomeSet")).isObject());
    EXPECT_THROW(row->valueForKey("noSuchKey"), NSException);

    // Setting nil clears a stored value.
    row->setValueForKey(Value(), "bookmarkLat");
    ASSERT_TRUE(reopened.context->save(&error));
    auto third = Stack::open(storePath());
    EXPECT_TRUE(
        fetch(third.context, "KESTBookmark")[0].objectAs<NSManagedObject>()->valueForKey("bookmarkLat").isNil());
}

TEST_F(NSManagedObjectContextTest, ObjectIDsBecomePermanentAndFindTheObject)
{
    auto object = bookmark("Gatwick", 51.15);
    auto id = object->objectID();
    EXPECT_TRUE(id->isTemporaryID());
    EXPECT_EQ(context()->objectRegisteredForID(id), object);
    ASSERT_TRUE(context()->save(nullptr));
    EXPECT_FALSE(id->isTemporaryID());
    EXPECT_EQ(object->objectID(), id) << "the same ID object, now permanent";

    // Another context on the same coordinator finds the row by ID.
    auto other = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSMainQueueConcurrencyType);
    other->setPersistentStoreCoordinator(m_stack.coordinator);
    EXPECT_FALSE(other->objectRegisteredForID(id));
    auto found = other->existingObjectWithID(id, nullptr);
    ASSERT_TRUE(found);
    EXPECT_NE(found, object);
    EXPECT_EQ(found->valueForKey("bookmarkName").stringValue(), "Gatwick");
    EXPECT_EQ(other->objectRegisteredForID(id), found);

    // An object outside any context is unknown to every context.
    auto loose = NSManagedObject::initWithEntityInsertIntoManagedObjectContext(
        m_stack.model->entityNamed("KESTFilterDetail"), nullptr);
    Ref<NSError> error;
    EXPECT_FALSE(context()->existingObjectWithID(loose->objectID(), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSManagedObjectReferentialIntegrityError);
    EXPECT_FALSE(context()->objectWithID(loose->objectID()));

    // A deleted and saved row is gone for everyone.
    context()->deleteObject(object);
    ASSERT_TRUE(context()->save(nullptr));
    auto third = NSManagedObjectContext::init();
    third->setPersistentStoreCoordinator(m_stack.coordinator);
    EXPECT_FALSE(third->existingObjectWithID(id, nullptr));
}

TEST_F(NSManagedObjectContextTest, FetchesSeeUnsavedInsertsEditsAndDeletes)
{
    bookmark("Alpha", 10);
    auto bravo = bookmark("Bravo", 20);
    auto charlie = bookmark("Charlie", 30);
    ASSERT_TRUE(context()->save(nullptr));

    bookmark("Delta", 40); // unsaved insert
    context()->deleteObject(bravo); // unsaved delete
    charlie->setValueForKey(Value("Zulu"), "bookmarkName"); // unsaved edit
    charlie->setValueForKey(Value(5.0), "bookmarkLat");

    struct Case {
        const char* predicate;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        { "", { "Alpha", "Delta", "Zulu" } },
        { "bookmarkLat > 8", { "Alpha", "Delta" } },
        { "bookmarkName BEGINSWITH 'Z'", { "Zulu" } },
        { "bookmarkName == 'Charlie'", {} },
        { "bookmarkName == 'Bravo'", {} },
        { "bookmarkHomeSet == nil AND bookmarkLat < 100", { "Alpha", "Delta", "Zulu" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.predicate);
        auto predicate = *c.predicate ? NSPredicate::predicateWithFormat(c.predicate) : nullptr;
        Ref<NSError> error;
        Value rows = fetch(context(), "KESTBookmark", predicate, "bookmarkName", &error);
        ASSERT_TRUE(rows.isArray()) << (error ? error->description() : "");
        EXPECT_EQ(column(rows, "bookmarkName"), c.names);
        auto request = NSFetchRequest::fetchRequestWithEntityName("KESTBookmark");
        request->setPredicate(predicate);
        EXPECT_EQ(context()->countForFetchRequest(request, nullptr), c.names.size());
    }

    // Without sorting, the order is store order, then inserts in insertion order.
    EXPECT_EQ(column(fetch(context(), "KESTBookmark"), "bookmarkName"),
        (std::vector<std::string> { "Alpha", "Zulu", "Delta" }));

    // Limits, descending sort and dictionaries.
    auto request = NSFetchRequest::fetchRequestWithEntityName("KESTBookmark");
    request->setSortDescriptors({ NSSortDescriptor::sortDescriptorWithKeyAscending("bookmarkLat", false) });
    request->setFetchLimit(2);
    request->setResultType(NSFetchRequest::NSDictionaryResultType);
    request->setPropertiesToFetch({ "bookmarkName", "bookmarkLat", "bookmarkLon" });
    Value rows = context()->executeFetchRequest(request, nullptr);
    ASSERT_EQ(rows.count(), 2u);
    EXPECT_EQ(rows[0]["bookmarkName"].stringValue(), "Delta");
    EXPECT_EQ(rows[1]["bookmarkName"].stringValue(), "Alpha");
    EXPECT_EQ(rows[0].count(), 2u) << "nil attributes are left out";

    // A predicate on a key the entity lacks fails as an error, not a crash.
    Ref<NSError> error;
    EXPECT_TRUE(
        fetch(context(), "KESTBookmark", NSPredicate::predicateWithFormat("noSuchKey == 1"), {}, &error).isNil());
    ASSERT_TRUE(error);
}

TEST_F(NSManagedObjectContextTest, RollbackDiscardsEveryUnsavedChange)
{
    auto kept = bookmark("Kept", 1);
    auto edited = bookmark("Edited", 2);
    auto doomed = bookmark("Doomed", 3);
    ASSERT_TRUE(context()->save(nullptr));

    auto added = bookmark("Added", 4);
    edited->setValueForKey(Value("Changed"), "bookmarkName");
    edited->setValueForKey(Value(), "bookmarkLat");
    context()->deleteObject(doomed);
    EXPECT_TRUE(doomed->isDeleted());
    EXPECT_TRUE(context()->hasChanges());

    context()->rollback();
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_FALSE(added->managedObjectContext()) << "the unsaved insert left the context";
    EXPECT_EQ(edited->valueForKey("bookmarkName").stringValue(), "Edited");
    EXPECT_DOUBLE_EQ(edited->valueForKey("bookmarkLat").doubleValue(), 2);
    EXPECT_FALSE(doomed->isDeleted());
    EXPECT_EQ(column(fetch(context(), "KESTBookmark", nullptr, "bookmarkName"), "bookmarkName"),
        (std::vector<std::string> { "Doomed", "Edited", "Kept" }));
    EXPECT_TRUE(context()->save(nullptr));
}

TEST_F(NSManagedObjectContextTest, RelationshipsKeepInversesAndFollowDeleteRules)
{
    auto filter
        = insert(context(), "KESTFilter", { { "filterName", Value("Heavies") }, { "filterActive", Value(true) } });
    auto altitude = insert(context(), "KESTFilterDetail", { { "filterDetailType", Value(4) } });
    auto speed = insert(context(), "KESTFilterDetail", { { "filterDetailType", Value(5) } });
    EXPECT_DOUBLE_EQ(altitude->valueForKey("filterUpperLimit").doubleValue(), 1.0) << "model default";
    filter->addRelatedObject("childFilter", altitude);
    speed->setValueForKey(Value(filter), "parentFilter");
    EXPECT_EQ(filter->valueForKey("childFilter").count(), 2u);
    EXPECT_EQ(altitude->valueForKey("parentFilter").objectAs<NSManagedObject>(), filter);
    ASSERT_TRUE(context()->save(nullptr));

    // A boolean compared with YES: unset counts as off, like NO.
    auto off = insert(context(), "KESTFilter", { { "filterName", Value("Off") }, { "filterActive", Value(false) } });
    insert(context(), "KESTFilter", { { "filterName", Value("Unset") } });
    auto active = NSPredicate::predicateWithFormat("(filterActive = YES)");
    EXPECT_EQ(column(fetch(context(), "KESTFilter", active), "filterName"), std::vector<std::string> { "Heavies" });
    filter->setValueForKey(Value(), "filterActive");
    EXPECT_EQ(fetch(context(), "KESTFilter", active).count(), 0u);
    context()->rollback();
    EXPECT_FALSE(off->managedObjectContext());
    EXPECT_EQ(fetch(context(), "KESTFilter", active).count(), 1u);

    // Read back in a fresh stack: the to-many comes from the stored to-one side.
    {
        auto reopened = Stack::open(storePath());
        auto filters = fetch(reopened.context, "KESTFilter");
        ASSERT_EQ(filters.count(), 1u);
        auto stored = filters[0].objectAs<NSManagedObject>();
        Value details = stored->valueForKey("childFilter");
        ASSERT_EQ(details.count(), 2u);
        EXPECT_EQ(
            details[0].objectAs<NSManagedObject>()->valueForKey("parentFilter").objectAs<NSManagedObject>(), stored);
        // Nullify: deleting a detail takes it out of its filter at once.
        reopened.context->deleteObject(details[0].objectAs<NSManagedObject>());
        EXPECT_EQ(stored->valueForKey("childFilter").count(), 1u);
        // Moving the other detail away empties the set.
        stored->removeRelatedObject("childFilter", details[1].objectAs<NSManagedObject>());
        EXPECT_EQ(stored->valueForKey("childFilter").count(), 0u);
        reopened.context->rollback();
        EXPECT_EQ(stored->valueForKey("childFilter").count(), 2u);
    }

    // Cascade: deleting the filter deletes its details, in the context and in the file.
    context()->deleteObject(filter);
    EXPECT_TRUE(altitude->isDeleted());
    EXPECT_TRUE(speed->isDeleted());
    EXPECT_EQ(fetch(context(), "KESTFilterDetail").count(), 0u);
    ASSERT_TRUE(context()->save(nullptr));
    auto reopened = Stack::open(storePath());
    EXPECT_EQ(fetch(reopened.context, "KESTFilter").count(), 0u);
    EXPECT_EQ(fetch(reopened.context, "KESTFilterDetail").count(), 0u);
}

class ChangeRecorder : public NSObject {
    VX_OBJECT(ChangeRecorder, NSObject)
public:
    explicit ChangeRecorder(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<ChangeRecorder> init() { return make<ChangeRecorder>(); }
    void observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>&, const Value& change, void*) override
    {
        seen.push_back(keyPath + "=" + change[NSKeyValueChangeNewKey].description());
    }
    std::vector<std::string> seen;
};

TEST_F(NSManagedObjectContextTest, ObserversSeeAttributeAndInverseChanges)
{
    auto filter = insert(context(), "KESTFilter");
    auto detail = insert(context(), "KESTFilterDetail");
    auto recorder = ChangeRecorder::init();
    filter->addObserver(recorder, "filterName", NSObject::NSKeyValueObservingOptionNew, nullptr);
    filter->addObserver(recorder, "childFilter.@count", NSObject::NSKeyValueObservingOptionNew, nullptr);
    filter->setValueForKey(Value("Night"), "filterName");
    detail->setValueForKey(Value(filter), "parentFilter"); // the inverse set grows
    filter->setValueForKey(Value(), "filterName");
    EXPECT_EQ(
        recorder->seen, (std::vector<std::string> { "filterName=Night", "childFilter.@count=1", "filterName=<null>" }));
    filter->removeObserver(recorder, "filterName");
    filter->removeObserver(recorder, "childFilter.@count");
}

TEST_F(NSManagedObjectContextTest, ObjectsOutsideAnyContextHoldRelationships)
{
    auto filterEntity = m_stack.model->entityNamed("KESTFilter");
    auto detailEntity = m_stack.model->entityNamed("KESTFilterDetail");
    auto mock = NSManagedObject::initWithEntityInsertIntoManagedObjectContext(filterEntity, nullptr);
    auto draft = NSManagedObject::initWithEntityInsertIntoManagedObjectContext(detailEntity, nullptr);
    draft->setValueForKey(Value("BAW"), "filterDetail");
    mock->addRelatedObject("childFilter", draft);
    EXPECT_EQ(draft->valueForKey("parentFilter").objectAs<NSManagedObject>(), mock);
    EXPECT_EQ(draft->valueForKey("filterDetailType").intValue(), 0) << "defaults apply without a context";
    EXPECT_FALSE(draft->managedObjectContext());

    context()->deleteObject(draft); // forgotten, no effect
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(fetch(context(), "KESTFilterDetail").count(), 0u);

    // Relating a stored object to a draft leaves the draft out of the store: saving such a
    // dangling reference fails and keeps the changes.
    auto stored = insert(context(), "KESTFilter", { { "filterName", Value("Stored") } });
    draft->setValueForKey(Value(stored), "parentFilter");
    EXPECT_EQ(stored->valueForKey("childFilter").count(), 0u) << "only objects of the same context join the inverse";
    stored->addRelatedObject("childFilter", draft);
    Ref<NSError> error;
    EXPECT_FALSE(context()->save(&error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSManagedObjectValidationError);
    EXPECT_TRUE(context()->hasChanges());

    // Inserting the draft into the context makes it an ordinary object.
    context()->insertObject(draft);
    ASSERT_TRUE(context()->save(&error)) << error->description();
    auto reopened = Stack::open(storePath());
    auto details = fetch(reopened.context, "KESTFilterDetail");
    ASSERT_EQ(details.count(), 1u);
    EXPECT_EQ(
        details[0].objectAs<NSManagedObject>()->valueForKeyPath("parentFilter.filterName").stringValue(), "Stored");
}

TEST_F(NSManagedObjectContextTest, ChildContextsPushSavesIntoTheirParent)
{
    auto main = context();
    auto child = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSPrivateQueueConcurrencyType);
    child->setParentContext(main);
    EXPECT_EQ(child->persistentStoreCoordinator(), m_stack.coordinator);
    auto existing = bookmark("Existing", 1);
    ASSERT_TRUE(main->save(nullptr));

    // The main thread waits on the child, whose block waits on the main context: both run here.
    bool ranNested = false;
    Ref<NSManagedObjectID> childID;
    child->performBlockAndWait([&] {
        EXPECT_TRUE(NSThread::isMainThread());
        auto inChild = insert(child, "KESTBookmark", { { "bookmarkName", Value("FromChild") } });
        EXPECT_EQ(std::dynamic_pointer_cast<TestBookmark>(inChild)->awakeCount, 1)
            << "awakeFromInsert runs in child contexts";
        childID = inChild->objectID();
        auto stored = fetch(child, "KESTBookmark", nullptr, "bookmarkName");
        EXPECT_EQ(column(stored, "bookmarkName"), (std::vector<std::string> { "Existing", "FromChild" }));
        stored[0].objectAs<NSManagedObject>()->setValueForKey(Value("Renamed"), "bookmarkName");
        Ref<NSError> error;
        EXPECT_TRUE(child->save(&error));
        main->performBlockAndWait([&] {
            ranNested = true;
            EXPECT_TRUE(main->hasChanges());
            EXPECT_TRUE(main->save(&error));
        });
    });
    EXPECT_TRUE(ranNested);
    EXPECT_FALSE(main->hasChanges());
    EXPECT_EQ(existing->valueForKey("bookmarkName").stringValue(), "Renamed");
    EXPECT_FALSE(childID->isTemporaryID()) << "the parent's save made the shared ID permanent";
    EXPECT_TRUE(main->objectRegisteredForID(childID));

    // Asynchronous work on the child's own queue.
    child->performBlock([&] {
        EXPECT_FALSE(NSThread::isMainThread());
        auto rows = fetch(child, "KESTBookmark");
        for (const auto& row : rows.elements())
            row.objectAs<NSManagedObject>()->setValueForKey(Value(), "bookmarkName");
        // Waiting on our own queue from inside it runs at once.
        child->performBlockAndWait([&] { EXPECT_TRUE(child->save(nullptr)); });
        main->performBlock([&] { EXPECT_TRUE(main->save(nullptr)); });
    });
    drainAll();
    auto reopened = Stack::open(storePath());
    auto rows = fetch(reopened.context, "KESTBookmark");
    ASSERT_EQ(rows.count(), 2u);
    for (const auto& row : rows.elements())
        EXPECT_TRUE(row.objectAs<NSManagedObject>()->valueForKey("bookmarkName").isNil());

    // A child's delete reaches the store through the parent.
    child->performBlockAndWait([&] {
        auto all = fetch(child, "KESTBookmark");
        EXPECT_EQ(all.count(), 2u);
        for (const auto& row : all.elements())
            child->deleteObject(row.objectAs<NSManagedObject>());
        EXPECT_EQ(child->deletedObjects().size(), 2u);
        EXPECT_TRUE(child->save(nullptr));
    });
    EXPECT_EQ(fetch(main, "KESTBookmark").count(), 0u);
    EXPECT_TRUE(main->save(nullptr));
    EXPECT_EQ(fetch(Stack::open(storePath()).context, "KESTBookmark").count(), 0u);
}

TEST_F(NSManagedObjectContextTest, PostsChangesAndMergesThemIntoOtherContexts)
{
    auto keep = bookmark("Keep", 1);
    auto drop = bookmark("Drop", 2);
    ASSERT_TRUE(context()->save(nullptr));

    auto other = NSManagedObjectContext::init();
    other->setPersistentStoreCoordinator(m_stack.coordinator);
    auto otherRows = fetch(other, "KESTBookmark", nullptr, "bookmarkName");
    ASSERT_EQ(otherRows.count(), 2u);
    auto otherDrop = otherRows[0].objectAs<NSManagedObject>();
    auto otherKeep = otherRows[1].objectAs<NSManagedObject>();

    std::vector<Ref<NSNotification>> saves;
    std::vector<Ref<NSNotification>> changes;
    auto center = NSNotificationCenter::defaultCenter();
    auto saveToken = center->addObserverForName(std::string(NSManagedObjectContextDidSaveNotification), context(),
        nullptr, [&](const Ref<NSNotification>& note) { saves.push_back(note); });
    auto changeToken = center->addObserverForName(std::string(NSManagedObjectContextObjectsDidChangeNotification),
        context(), nullptr, [&](const Ref<NSNotification>& note) { changes.push_back(note); });

    keep->setValueForKey(Value("Kept"), "bookmarkName");
    context()->deleteObject(drop);
    auto added = bookmark("Added", 3);
    ASSERT_TRUE(context()->save(nullptr));
    center->removeObserver(saveToken);
    center->removeObserver(changeToken);

    ASSERT_EQ(saves.size(), 1u);
    const Value& info = saves[0]->userInfo();
    EXPECT_EQ(info[NSInsertedObjectsKey].count(), 1u);
    EXPECT_EQ(info[NSInsertedObjectsKey][0].objectAs<NSManagedObject>(), added);
    EXPECT_EQ(info[NSUpdatedObjectsKey].count(), 1u);
    EXPECT_EQ(info[NSUpdatedObjectsKey][0].objectAs<NSManagedObject>(), keep);
    EXPECT_EQ(info[NSDeletedObjectsKey].count(), 1u);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0]->userInfo()[NSInsertedObjectsKey].count(), 1u);

    other->mergeChangesFromContextDidSaveNotification(saves[0]);
    EXPECT_EQ(otherKeep->valueForKey("bookmarkName").stringValue(), "Kept");
    EXPECT_FALSE(other->objectRegisteredForID(otherDrop->objectID()));
    EXPECT_EQ(column(fetch(other, "KESTBookmark", nullptr, "bookmarkName"), "bookmarkName"),
        (std::vector<std::string> { "Added", "Kept" }));

    // A save without changes posts nothing and writes nothing.
    saves.clear();
    saveToken = center->addObserverForName(std::string(NSManagedObjectContextDidSaveNotification), context(), nullptr,
        [&](const Ref<NSNotification>& note) { saves.push_back(note); });
    EXPECT_TRUE(context()->save(nullptr));
    center->removeObserver(saveToken);
    EXPECT_TRUE(saves.empty());
}

TEST(NSManagedObjectContextValidation, FailedSaveReportsAndKeepsChanges)
{
    TemporarySandbox sandbox;
    auto entity = NSEntityDescription::entity("Thing", "",
        { NSAttributeDescription::attribute("name", NSAttributeDescription::NSStringAttributeType, false, Value()),
            NSAttributeDescription::attribute(
                "count", NSAttributeDescription::NSInteger32AttributeType, true, Value()) },
        {});
    auto model = NSManagedObjectModel::modelWithEntities({ entity });
    ASSERT_TRUE(model);
    auto stack = Stack::open(sandbox.path("things.sqlite"), model, Value());
    ASSERT_TRUE(stack.store);

    struct Case {
        const char* name;
        Value nameValue;
        Value countValue;
        int32_t code;
    };
    const Case cases[] = {
        { "mandatory missing", Value(), Value(1), NSValidationMissingMandatoryPropertyError },
        { "wrong type", Value("x"), Value("many"), NSManagedObjectValidationError },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto thing = insert(stack.context, "Thing", { { "name", c.nameValue }, { "count", c.countValue } });
        Ref<NSError> error;
        EXPECT_FALSE(stack.context->save(&error));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), c.code);
        EXPECT_TRUE(stack.context->hasChanges());
        stack.context->rollback();
    }
    EXPECT_EQ(fetch(Stack::open(sandbox.path("things.sqlite"), model, Value()).context, "Thing").count(), 0u);
}

TEST(NSManagedObjectContextValidation, DenyRuleBlocksDeletingAnOwnerWithMembers)
{
    TemporarySandbox sandbox;
    auto owner = NSEntityDescription::entity("Owner", "", {},
        { NSRelationshipDescription::relationship("items", "Item", "owner",
            NSRelationshipDescription::Cardinality::ToMany, NSRelationshipDescription::Optionality::Optional,
            NSRelationshipDescription::NSDenyDeleteRule) });
    auto item = NSEntityDescription::entity("Item", "", {},
        { NSRelationshipDescription::relationship("owner", "Owner", "items",
            NSRelationshipDescription::Cardinality::ToOne, NSRelationshipDescription::Optionality::Optional,
            NSRelationshipDescription::NSNullifyDeleteRule) });
    auto model = NSManagedObjectModel::modelWithEntities({ owner, item });
    ASSERT_TRUE(model);
    auto stack = Stack::open(sandbox.path("owners.sqlite"), model, Value());
    ASSERT_TRUE(stack.store);
    auto boss = insert(stack.context, "Owner");
    auto thing = insert(stack.context, "Item", { { "owner", Value(boss) } });
    ASSERT_TRUE(stack.context->save(nullptr));

    stack.context->deleteObject(boss);
    Ref<NSError> error;
    EXPECT_FALSE(stack.context->save(&error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), NSValidationRelationshipDeniedDeleteError);
    stack.context->rollback();

    stack.context->deleteObject(thing);
    stack.context->deleteObject(boss);
    EXPECT_TRUE(stack.context->save(&error));
    EXPECT_EQ(fetch(stack.context, "Owner").count(), 0u);
}

} // namespace
