#include "KESTFilterDataManager.h"

VX_REGISTER_CLASS(KESTFilterDataManager);

KESTFilterDataManager::KESTFilterDataManager(Passkey key)
    : NSObject(key)
{
}

Ref<KESTFilterDataManager> KESTFilterDataManager::sharedInstance()
{
    static const Ref<KESTFilterDataManager> s_instance = make<KESTFilterDataManager>();
    return s_instance;
}

Ref<NSPredicate> KESTFilterDataManager::predicate() const
{
    std::lock_guard guard(m_lock);
    return m_predicate;
}

void KESTFilterDataManager::setPredicate(Ref<NSPredicate> predicate)
{
    std::lock_guard guard(m_lock);
    m_predicate = std::move(predicate);
}

void KESTFilterDataManager::setManagedObjectContext(Ref<NSManagedObjectContext> context)
{
    std::lock_guard guard(m_lock);
    m_managedObjectContext = std::move(context);
}

Ref<NSManagedObjectContext> KESTFilterDataManager::managedObjectContext() const
{
    std::lock_guard guard(m_lock);
    return m_managedObjectContext;
}
