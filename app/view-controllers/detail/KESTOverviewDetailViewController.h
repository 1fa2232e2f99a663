#pragma once

#include "app/view-controllers/detail/KESTDetailBaseViewController.h"

class KESTRouteProgressView;
class NSTimer;

// The first tab of the plane detail screen: six fixed rows (photo header with the time since the
// last report, flight number, callsign and registration with the airline logo, route progress,
// altitude, speed and course, estimated and scheduled arrival, squawk). A one-second timer
// refreshes the header's "Last updated" text while the tab is on screen. Main thread only.
class KESTOverviewDetailViewController : public KESTDetailBaseViewController {
    VX_OBJECT(KESTOverviewDetailViewController, KESTDetailBaseViewController)
public:
    explicit KESTOverviewDetailViewController(Passkey key)
        : KESTDetailBaseViewController(key)
    {
    }
    static Ref<KESTOverviewDetailViewController> initWithStyle(UITableViewStyle style);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void liveDataDidUpdate() override;
    void metadataDidUpdate() override;
    void updateTimestamp();
    void updateProgressView();
    void galleryPress(const Ref<NSObject>& sender);

    const Ref<NSTimer>& timestampUpdateTimer() const { return m_timestampUpdateTimer; }
    const Ref<KESTRouteProgressView>& progressView() const { return m_progressView; }

    int32_t numberOfSectionsInTableView(const Ref<UITableView>&) override { return 1; }
    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override { return 6; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;

private:
    std::string timestampText() const;

    Ref<NSTimer> m_timestampUpdateTimer;
    Ref<KESTRouteProgressView> m_progressView;
};
