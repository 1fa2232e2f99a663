#pragma once

#include "app/core/KESTAuthManager.h"
#include "app/view-controllers/common/KESTBaseTableViewController.h"

// The account menu: sign-in, registration and the account's details. Its rows come with the
// accounts subsystem; for now it is an empty table that keeps the two callbacks it was opened
// with. Main thread only.
class KESTAuthMenuView : public KESTBaseTableViewController {
    VX_OBJECT(KESTAuthMenuView, KESTBaseTableViewController)
public:
    using Completion = KESTAuthManager::Completion;
    using Failure = KESTAuthManager::Failure;

    explicit KESTAuthMenuView(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTAuthMenuView> initWithCompletionFailure(Completion completion, Failure failure);

    const Completion& completion() const { return m_completion; }
    const Failure& failure() const { return m_failure; }

private:
    Completion m_completion;
    Failure m_failure;
};
