#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"

class NSManagedObjectContext;

// The main menu (title "Menu"): a table of the places the application offers from its toolbar.
// Its rows come with the accounts, menu and settings subsystem; for now it is an empty table
// that keeps the context it will pass to the screens it opens. Main thread only.
class KESTMenuViewController : public KESTBaseTableViewController {
    VX_OBJECT(KESTMenuViewController, KESTBaseTableViewController)
public:
    explicit KESTMenuViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTMenuViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle);

    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }

private:
    Ref<NSManagedObjectContext> m_managedObjectContext;
};
