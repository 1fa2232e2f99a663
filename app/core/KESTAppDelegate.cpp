#include "KESTAppDelegate.h"

#include "NSBundle.h"
#include "NSError.h"
#include "NSFileManager.h"
#include "NSLog.h"
#include "NSManagedObjectContext.h"
#include "NSManagedObjectModel.h"
#include "NSPersistentStore.h"
#include "NSPersistentStoreCoordinator.h"
#include "Sandbox.h"

VX_REGISTER_CLASS(KESTAppDelegate);

KESTAppDelegate::KESTAppDelegate(Passkey key)
    : NSObject(key)
{
}

Ref<KESTAppDelegate> KESTAppDelegate::init()
{
    return make<KESTAppDelegate>();
}

Ref<NSManagedObjectModel> KESTAppDelegate::managedObjectModel()
{
    if (!m_managedObjectModel) {
        auto path = NSBundle::mainBundle()->URLForResource("Volantrix", "momd");
        if (path)
            m_managedObjectModel = NSManagedObjectModel::initWithContentsOfURL(*path);
        if (!m_managedObjectModel)
            NSLog("Unresolved error %@, %@", std::string("no managed object model \"Volantrix\""), Value());
    }
    return m_managedObjectModel;
}

std::string KESTAppDelegate::applicationDocumentsDirectory() const
{
    auto urls = NSFileManager::defaultManager()->URLsForDirectory(NSDocumentDirectory, NSUserDomainMask);
    return urls.empty() ? std::string() : urls.back();
}

Ref<NSPersistentStoreCoordinator> KESTAppDelegate::persistentStoreCoordinator()
{
    if (m_persistentStoreCoordinator)
        return m_persistentStoreCoordinator;
    auto model = managedObjectModel();
    if (!model)
        return nullptr;
    std::string storePath = applicationDocumentsDirectory() + "/Volantrix.sqlite";
    Value options = Value::dictionary({
        { Value(NSMigratePersistentStoresAutomaticallyOption), Value(true) },
        { Value(NSInferMappingModelAutomaticallyOption), Value(true) },
    });
    m_persistentStoreCoordinator = NSPersistentStoreCoordinator::initWithManagedObjectModel(model);
    Ref<NSError> error;
    if (!m_persistentStoreCoordinator->addPersistentStoreWithType(NSSQLiteStoreType, "", storePath, options, &error)) {
        // Nothing is deleted or reset: the application runs on without a store.
        NSLog("Unresolved error %@, %@", error, error ? error->userInfo() : Value());
    }
    return m_persistentStoreCoordinator;
}

Ref<NSManagedObjectContext> KESTAppDelegate::managedObjectContext()
{
    if (m_managedObjectContext)
        return m_managedObjectContext;
    auto coordinator = persistentStoreCoordinator();
    if (!coordinator)
        return nullptr;
    m_managedObjectContext = NSManagedObjectContext::initWithConcurrencyType(
        NSManagedObjectContext::NSMainQueueConcurrencyType);
    m_managedObjectContext->setPersistentStoreCoordinator(coordinator);
    return m_managedObjectContext;
}

void KESTAppDelegate::saveContext()
{
    auto context = m_managedObjectContext;
    if (!context || !context->hasChanges())
        return;
    Ref<NSError> error;
    if (!context->save(&error))
        NSLog("Unresolved error %@, %@", error, error ? error->userInfo() : Value());
}
