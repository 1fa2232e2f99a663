#pragma once

#include "sdk/HBRAppStoreHeader.h"
#include "sdk/HBRHarborBaseViewController.h"
#include "sdk/HBRStoreButton.h"
#include "sdk/HBRWebTableViewCell.h"

#include <vector>

class HBRAppVersionMetaInfo;
class HBRUpdateManager;
class UIImage;

// The beta update screen: a store-style header with the application's icon, name, company and
// an action button (check, or install when a newer build exists), one row per version with its
// release notes, and a button that reveals older versions. Main thread only.
class HBRUpdateViewController : public HBRHarborBaseViewController, public HBRStoreButtonDelegate {
    VX_OBJECT(HBRUpdateViewController, HBRHarborBaseViewController)
public:
    enum ButtonState : uint32_t { Offline = 0, Check = 1, Searching = 2, Update = 3, Installing = 4 };

    explicit HBRUpdateViewController(Passkey key)
        : HBRHarborBaseViewController(key)
    {
    }
    ~HBRUpdateViewController() override;
    static Ref<HBRUpdateViewController> initWithModalStyle(bool modal);

    bool isMandatoryUpdate() const { return m_mandatoryUpdate; }
    void setMandatoryUpdate(bool value) { m_mandatoryUpdate = value; }
    uint32_t appStoreButtonState() const { return m_appStoreButtonState; }
    void setAppStoreButtonState(uint32_t state) { setAppStoreButtonStateAnimated(state, false); }
    void setAppStoreButtonStateAnimated(uint32_t state, bool animated);
    void restoreStoreButtonStateAnimated(bool animated);
    void redrawTableView();
    void showPreviousVersionAction();
    void storeButtonFired(HBRStoreButton& button) override;

    const Ref<HBRAppStoreHeader>& appStoreHeader() const { return m_appStoreHeader; }
    const Ref<HBRStoreButton>& appStoreButton() const { return m_appStoreButton; }
    const std::vector<Ref<HBRWebTableViewCell>>& cells() const { return m_cells; }
    bool showAllVersions() const { return m_showAllVersions; }
    // The name of the icon that suits the screen, from the main bundle's icon lists.
    static std::string iconNameForDevice();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;

    int32_t tableViewNumberOfRowsInSection(const Ref<UITableView>&, int32_t) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, const Ref<NSIndexPath>&) override;
    void didRotateFromInterfaceOrientation(int32_t orientation);

private:
    Ref<HBRUpdateManager> updateManager() const { return m_updateManager.lock(); }
    Ref<UIColor> backgroundColor() const;
    void updateAppStoreHeader();
    void configureWebCell(const Ref<HBRWebTableViewCell>& cell, const Ref<HBRAppVersionMetaInfo>& version);
    void addCellForVersion(const Ref<HBRAppVersionMetaInfo>& version);
    void dropCells();
    void showHidePreviousVersionsButton();
    void realignPreviousVersionButton();
    void didBecomeActive();

    Weak<HBRUpdateManager> m_updateManager;
    bool m_mandatoryUpdate { false };
    uint32_t m_appStoreButtonState { Check };
    Ref<HBRAppStoreHeader> m_appStoreHeader;
    Ref<HBRStoreButton> m_appStoreButton;
    std::vector<Ref<HBRWebTableViewCell>> m_cells;
    bool m_showAllVersions { false };
    bool m_isAppStoreEnvironment { false };
    bool m_kvoRegistered { false };
    Ref<NSObject> m_becomeActiveObserver;
};
