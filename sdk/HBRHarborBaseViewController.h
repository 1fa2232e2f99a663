#pragma once

#include "uikit/UITableViewController.h"

// The table screen base of the kit's screens: a modal screen carries a Done button that
// dismisses it; the application's status bar style is kept while the screen shows. Main thread
// only.
class HBRHarborBaseViewController : public UITableViewController {
    VX_OBJECT(HBRHarborBaseViewController, UITableViewController)
public:
    explicit HBRHarborBaseViewController(Passkey key)
        : UITableViewController(key)
    {
    }
    static Ref<HBRHarborBaseViewController> initWithStyle(UITableViewStyle style)
    {
        return initWithStyleModal<HBRHarborBaseViewController>(style, false);
    }
    static Ref<HBRHarborBaseViewController> initWithModalStyle(bool modal)
    {
        return initWithStyleModal<HBRHarborBaseViewController>(UITableViewStylePlain, modal);
    }
    // A screen of class T; a modal one gets a Done button on the left that runs onDismissModal.
    template <typename T> static Ref<T> initWithStyleModal(UITableViewStyle style, bool modal)
    {
        auto screen = makeTableController<T>(style);
        static_cast<HBRHarborBaseViewController&>(*screen).setUpModal(modal);
        return screen;
    }

    bool isModal() const { return m_modal; }
    bool modalAnimated() const { return m_modalAnimated; }
    void setModalAnimated(bool value) { m_modalAnimated = value; }
    int32_t statusBarStyle() const { return m_statusBarStyle; }

    // Dismisses a modal screen (or takes it off the window), pops a pushed one, and restores
    // the status bar style.
    virtual void onDismissModal();
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    static bool shouldAutorotateToInterfaceOrientation(int32_t orientation);

private:
    void setUpModal(bool modal);
    bool usesDarkBar();

    bool m_modal { false };
    int32_t m_statusBarStyle { 0 };
    bool m_modalAnimated { true };
};
