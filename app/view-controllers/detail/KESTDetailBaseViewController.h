#pragma once

#include "app/view-controllers/common/KESTBaseTableViewController.h"
#include "uikit/UIScrollView.h"

class KESTDetailViewController;

// Base of the plane detail screen's tabs: a separator-less table that scrolls clear of the tab
// bar, with the hooks through which the detail screen drives its tabs. The reloads of the
// refresh and metadata hooks run on a later turn of the main queue and skip a tab that is gone.
// Main thread only.
class KESTDetailBaseViewController : public KESTBaseTableViewController {
    VX_OBJECT(KESTDetailBaseViewController, KESTBaseTableViewController)
public:
    explicit KESTDetailBaseViewController(Passkey key)
        : KESTBaseTableViewController(key)
    {
    }
    static Ref<KESTDetailBaseViewController> initWithStyle(UITableViewStyle style)
    {
        return makeDetailTab<KESTDetailBaseViewController>(style);
    }

    virtual void refreshRequested();
    virtual void metadataDidUpdate();
    virtual void liveDataDidUpdate() { }
    virtual void cleanup() { }
    // The containing detail screen.
    Ref<KESTDetailViewController> detailVC() const;
    void close() override;

    void viewWillAppear(bool animated) override;

protected:
    template <typename T> static Ref<T> makeDetailTab(UITableViewStyle style)
    {
        auto tab = makeTableController<T>(style);
        tab->m_separatorNone = true;
        return tab;
    }
    // Reloads the table on a later turn of the main queue.
    void reloadLater();
    // The tab bar item with the image and selected image drawn in their own colours.
    void installTabBarItem(const std::string& title, const std::string& image, const std::string& selectedImage);

public:
    void loadView() override;

private:
    bool m_separatorNone { false };
};
