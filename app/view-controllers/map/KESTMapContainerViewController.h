#pragma once

#include "app/view-controllers/common/KESTBaseCustomViewController.h"

class KESTMapViewController;

// The window's root screen: holds exactly one map screen, inside a navigation controller, and
// can replace it by a new one (cleaning the old one up first). The map screen decides about the
// status bar. Main thread only.
class KESTMapContainerViewController : public KESTBaseCustomViewController {
    VX_OBJECT(KESTMapContainerViewController, KESTBaseCustomViewController)
public:
    explicit KESTMapContainerViewController(Passkey key)
        : KESTBaseCustomViewController(key)
    {
    }
    static Ref<KESTMapContainerViewController> initWithNibNameBundle(
        const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeController<KESTMapContainerViewController>(nibName, bundle);
    }

    void loadView() override;
    void setVisibleMapController(const Ref<KESTMapViewController>& controller);
    void teardownVisibleMapController();

    const Ref<KESTMapViewController>& mapViewController() const { return m_mapViewController; }
    void setMapViewController(Ref<KESTMapViewController> controller) { m_mapViewController = std::move(controller); }

    Ref<UIViewController> childViewControllerForStatusBarHidden() const override;
    UIStatusBarStyle preferredStatusBarStyle() const override;
    bool shouldAutorotate() const override { return true; }
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation) const { return true; }
    UIInterfaceOrientationMask supportedInterfaceOrientations() const override
    {
        return UIInterfaceOrientationMask(30);
    }

private:
    Ref<KESTMapViewController> m_mapViewController;
};
