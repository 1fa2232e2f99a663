#include "app/core/KESTCoreDataMigrator.h"

#include "app/core/KESTBookmark.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSManagedObjectModel.h"
#include "coredata/NSPersistentStore.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/Sandbox.h"

VX_REGISTER_CREATABLE_CLASS(KESTCoreDataMigrator);

namespace {

const char* const kMigrationFlag = "kHasPerformedCoreDataMigration";
const char* const kRegionKeys[] = { "lat", "lon", "latspan", "lonspan" };
const char* const kBookmarkKeys[] = { "bookmarkLat", "bookmarkLon", "bookmarkLatSpan", "bookmarkLonSpan" };

} // namespace

Ref<KESTCoreDataMigrator> KESTCoreDataMigrator::init()
{
    return make<KESTCoreDataMigrator>();
}

bool KESTCoreDataMigrator::migrateOldStoreIfNeededIntoContext(const Ref<NSManagedObjectContext>& root)
{
    if (NSUserDefaults::standardUserDefaults()->boolForKey(kMigrationFlag))
        return false;
    auto migrator = init();
    if (!NSFileManager::defaultManager()->fileExistsAtPath(
            migrator->applicationDocumentsDirectory() + "/locationDB.sqlite"))
        return false;
    migrator->setRootManagedObjectContext(root);
    return migrator->migrateAllObjects();
}

std::string KESTCoreDataMigrator::applicationDocumentsDirectory() const
{
    auto urls = NSFileManager::defaultManager()->URLsForDirectory(NSDocumentDirectory, NSUserDomainMask);
    return urls.empty() ? std::string() : urls.back();
}

Ref<NSManagedObjectModel> KESTCoreDataMigrator::managedObjectModel()
{
    if (!m_managedObjectModel) {
        auto path = NSBundle::mainBundle()->URLForResource("ThornquillLocation", "mom");
        if (path)
            m_managedObjectModel = NSManagedObjectModel::initWithContentsOfURL(*path);
    }
    return m_managedObjectModel;
}

Ref<NSPersistentStoreCoordinator> KESTCoreDataMigrator::persistentStoreCoordinator()
{
    if (m_persistentStoreCoordinator)
        return m_persistentStoreCoordinator;
    auto model = managedObjectModel();
    if (!model) {
        NSLog("Unresolved error %@, %@", std::string("no managed object model \"ThornquillLocation\""), Value());
        return nullptr;
    }
    m_persistentStoreCoordinator = NSPersistentStoreCoordinator::initWithManagedObjectModel(model);
    Value options = Value::dictionary({
        { Value(NSMigratePersistentStoresAutomaticallyOption), Value(true) },
        { Value(NSInferMappingModelAutomaticallyOption), Value(true) },
    });
    Ref<NSError> error;
    std::string storePath = applicationDocumentsDirectory() + "/locationDB.sqlite";
    if (!m_persistentStoreCoordinator->addPersistentStoreWithType(NSSQLiteStoreType, "", storePath, options, &error))
        NSLog("Unresolved error %@, %@", error, error ? error->userInfo() : Value());
    return m_persistentStoreCoordinator;
}

Ref<NSManagedObjectContext> KESTCoreDataMigrator::managedObjectContext()
{
    if (m_managedObjectContext)
        return m_managedObjectContext;
    auto coordinator = persistentStoreCoordinator();
    if (!coordinator)
        return nullptr;
    m_managedObjectContext = NSManagedObjectContext::init();
    m_managedObjectContext->setPersistentStoreCoordinator(coordinator);
    return m_managedObjectContext;
}

Value KESTCoreDataMigrator::grabAllObjects()
{
    Value rows = Value::mutableArray();
    auto context = managedObjectContext();
    if (!context || !context->persistentStoreCoordinator()
        || context->persistentStoreCoordinator()->persistentStores().empty())
        return rows;
    Ref<NSError> error;
    Value events = context->executeFetchRequest(NSFetchRequest::fetchRequestWithEntityName("Event"), &error);
    for (const auto& event : events.elements()) {
        auto object = event.objectAs<NSManagedObject>();
        if (!object)
            continue;
        Value row = Value::mutableDictionary();
        for (const char* key : { "name", "lat", "lon", "latspan", "lonspan" }) {
            Value value = object->valueForKey(key);
            row.setObjectForKey(value.isNil() ? Value::null() : value, Value(key));
        }
        rows.addObject(row);
    }
    return rows;
}

bool KESTCoreDataMigrator::migrateAllObjects()
{
    Value rows = grabAllObjects();
    if (rows.count() == 0)
        return false;
    auto root = m_rootManagedObjectContext;
    if (!root)
        return false;

    std::vector<Ref<KESTBookmark>> copies;
    for (const auto& row : rows.elements()) {
        // A row without its region cannot be shown on the map; it is left behind.
        bool complete = true;
        for (const char* key : kRegionKeys)
            complete = complete && row[key].isNumber();
        if (!complete) {
            NSLog("Skipping saved location %@ without a complete region", row["name"].description());
            continue;
        }
        auto bookmark = KESTBookmark::insertInManagedObjectContext(root);
        if (!bookmark)
            break;
        for (size_t i = 0; i < 4; ++i)
            bookmark->setValueForKey(Value(row[kRegionKeys[i]].doubleValue()), kBookmarkKeys[i]);
        if (row["name"].isString())
            bookmark->setValueForKey(row["name"], "bookmarkName");
        copies.push_back(bookmark);
    }

    Ref<NSError> error;
    if (!root->save(&error)) {
        NSLog("Whoops, couldn't save: %@", error ? error->localizedDescription() : std::string());
        // Left in the context, the copies would be saved by a later save while the flag stays
        // unset, and copied a second time at the next launch.
        for (const auto& copy : copies)
            root->deleteObject(copy);
        return false;
    }
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setBool(true, kMigrationFlag);
    defaults->synchronize();
    return true;
}
