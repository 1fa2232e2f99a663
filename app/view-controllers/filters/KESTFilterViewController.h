#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"

class NSManagedObjectContext;

// The saved-filters list (title "Filters"). Its rows and editing come with the filters and
// alerts subsystem; for now it is an empty table that keeps the context it will work in.
// Main thread only.
class KESTFilterViewController : public KESTBaseTableViewController {
    VX_OBJECT(KESTFilterViewController, KESTBaseTableViewController)
public:
    explicit KESTFilterViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTFilterViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<KESTFilterViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }

private:
    Ref<NSManagedObjectContext> m_managedObjectContext;
};
