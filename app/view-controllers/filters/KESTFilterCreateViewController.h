#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"

class NSManagedObjectContext;

// The filter editor. Its fields come with the filters and alerts subsystem; for now it is an
// empty grouped table that keeps the context a new filter will be stored in. Main thread only.
class KESTFilterCreateViewController : public KESTBaseTableViewController {
    VX_OBJECT(KESTFilterCreateViewController, KESTBaseTableViewController)
public:
    explicit KESTFilterCreateViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTFilterCreateViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<KESTFilterCreateViewController> initWithNibNameBundle(
        const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeTableController<KESTFilterCreateViewController>(UITableViewStyleGrouped, nibName, bundle);
    }

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }

private:
    Ref<NSManagedObjectContext> m_managedObjectContext;
};
