#pragma once

#include "coredata/NSAttributeDescription.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObject.h"
#include "coredata/NSManagedObjectContext.h"
#include "coredata/NSManagedObjectID.h"
#include "coredata/NSManagedObjectModel.h"
#include "coredata/NSPersistentStore.h"
#include "coredata/NSPersistentStoreCoordinator.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSSortDescriptor.h"
#include "foundation/NSUUID.h"

#include <fstream>
#include <iterator>
#include <string>

// A managed-object subclass as the application makes them: it gives itself an identifier when
// first inserted.
class TestBookmark : public NSManagedObject {
    VX_OBJECT(TestBookmark, NSManagedObject)
public:
    TestBookmark(Passkey key, Ref<NSEntityDescription> entity)
        : NSManagedObject(key, std::move(entity))
    {
    }
    void awakeFromInsert() override
    {
        NSManagedObject::awakeFromInsert();
        ++awakeCount;
        setValueForKey(Value(NSUUID::UUID()->UUIDString()), "bookmarkuuid");
    }
    int awakeCount { 0 };
};

inline void registerTestClasses()
{
    NSManagedObject::registerSubclass<TestBookmark>("KESTBookmark");
}

inline std::string resourcePath(const std::string& name, const std::string& type)
{
    return NSBundle::mainBundle()->pathForResource(name, type).value_or("");
}

inline Ref<NSManagedObjectModel> currentModel()
{
    return NSManagedObjectModel::initWithContentsOfURL(resourcePath("Volantrix", "momd"));
}

// One version of the versioned application model, by its identifier.
inline Ref<NSManagedObjectModel> modelVersion(const std::string& version)
{
    std::ifstream file(resourcePath("Volantrix", "momd"));
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Value all = NSJSONSerialization::JSONObjectWithData(text, 0, nullptr);
    for (const auto& description : all["versions"].elements()) {
        if (description["version"].stringValue() == version)
            return NSManagedObjectModel::modelWithDescription(description);
    }
    return nullptr;
}

inline Value migrationOptions()
{
    return Value::dictionary({ { Value(NSMigratePersistentStoresAutomaticallyOption), Value(true) },
        { Value(NSInferMappingModelAutomaticallyOption), Value(true) } });
}

// A model, a coordinator with (when it opened) a SQLite store, and a main-queue context.
struct Stack {
    Ref<NSManagedObjectModel> model;
    Ref<NSPersistentStoreCoordinator> coordinator;
    Ref<NSPersistentStore> store;
    Ref<NSManagedObjectContext> context;
    Ref<NSError> error;

    static Stack open(
        const std::string& path, Ref<NSManagedObjectModel> model = currentModel(), Value options = migrationOptions())
    {
        Stack stack;
        stack.model = model;
        stack.coordinator = NSPersistentStoreCoordinator::initWithManagedObjectModel(model);
        stack.store = stack.coordinator->addPersistentStoreWithType(NSSQLiteStoreType, "", path, options, &stack.error);
        stack.context
            = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSMainQueueConcurrencyType);
        stack.context->setPersistentStoreCoordinator(stack.coordinator);
        return stack;
    }
};

inline Value fetch(const Ref<NSManagedObjectContext>& context, const std::string& entity,
    Ref<NSPredicate> predicate = nullptr, std::string sortKey = {}, Ref<NSError>* error = nullptr)
{
    auto request = NSFetchRequest::fetchRequestWithEntityName(entity);
    request->setPredicate(std::move(predicate));
    if (!sortKey.empty())
        request->setSortDescriptors({ NSSortDescriptor::sortDescriptorWithKeyAscending(sortKey, true) });
    return context->executeFetchRequest(request, error);
}

// The values at `key` of the fetched objects, as strings, in order.
inline std::vector<std::string> column(const Value& objects, const std::string& key)
{
    std::vector<std::string> out;
    for (const auto& object : objects.elements())
        out.push_back(object.objectAs<NSObject>()->valueForKey(key).stringValue());
    return out;
}

inline Ref<NSManagedObject> insert(const Ref<NSManagedObjectContext>& context, const std::string& entity,
    std::vector<std::pair<std::string, Value>> values = {})
{
    auto object = NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext(entity, context);
    for (const auto& [key, value] : values)
        object->setValueForKey(value, key);
    return object;
}
