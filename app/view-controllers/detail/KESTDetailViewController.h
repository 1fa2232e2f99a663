#pragma once

#include "foundation/Value.h"
#include "uikit/UITabBarController.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class AVAudioPlayer;
class KESTDetailBaseViewController;
class KESTPlane;
class NSManagedObjectContext;
class NSNotification;
class NSOperationQueue;
class UIActivityViewController;
class UIImage;

// The detail screen of one live plane, shown in the map's marker popover: a tab bar controller
// (its own delegate) with the tabs Overview, Flight and Aircraft. It owns everything the tabs
// show: the live plane (updated in place by the live feed), the answers of its five requests
// (metadata with the schedule record, photos, manufacturer and airline logos, the type drawing),
// the lookups of airline, type and route, and the live values it recomputes on every live
// update. It routes the live-data and plane-detail notifications to its tabs, remembers the tab
// last chosen, and plays the seasonal plane's sound. Its requests start in initWithPlane, on an
// operation queue of its own, and report on the main queue; their blocks hold the screen weakly.
// Main thread only.
class KESTDetailViewController : public UITabBarController, public UITabBarControllerDelegate {
    VX_OBJECT(KESTDetailViewController, UITabBarController)
public:
    explicit KESTDetailViewController(Passkey key)
        : UITabBarController(key)
    {
    }
    ~KESTDetailViewController() override;
    static Ref<KESTDetailViewController> initWithPlane(const Ref<KESTPlane>& plane);

    static constexpr const char* kMetadataUpdatedNotification = "com.kestravon.volantrix.planedetail.metadata.updated";
    static constexpr const char* kRefreshDataNotification = "com.kestravon.volantrix.planedetail.refresh.data";
    static constexpr const char* kPhotosUpdatedNotification = "com.kestravon.volantrix.planedetail.photos.updated";
    static constexpr const char* kImagesUpdatedNotification = "com.kestravon.volantrix.planedetail.images.updated";
    static constexpr const char* kSelectedTabKey = "planeDetailsSelectedTab";

    const Ref<KESTPlane>& plane() const { return m_plane; }
    const Ref<NSManagedObjectContext>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(Ref<NSManagedObjectContext> context) { m_managedObjectContext = std::move(context); }
    const Ref<UIImage>& mapSnapshot() const { return m_mapSnapshot; }
    void setMapSnapshot(Ref<UIImage> image) { m_mapSnapshot = std::move(image); }
    Ref<NSOperationQueue> networkQueue();

    const Value& metadata() const { return m_metadata; }
    const Value& oagData() const { return m_oagData; }
    const Value& routeData() const { return m_routeData; }
    const Value& progressData() const { return m_progressData; }
    // Nil until the photo search has answered; then an array of photo items.
    const Value& planeImages() const { return m_planeImages; }
    const Ref<UIImage>& airlineImage() const { return m_airlineImage; }
    const Ref<UIImage>& manufacturerImage() const { return m_manufacturerImage; }
    const Ref<UIImage>& aircraftTechnicalImage() const { return m_aircraftTechnicalImage; }
    const std::string& altitude() const { return m_altitude; }
    const std::string& speed() const { return m_speed; }
    const std::string& course() const { return m_course; }
    const std::optional<std::string>& airlineSQLName() const { return m_airlineSQLName; }
    const std::optional<std::string>& airlineICAO() const { return m_airlineICAO; }
    const std::optional<std::string>& airlineCallsign() const { return m_airlineCallsign; }
    const std::optional<std::string>& airlineOperator() const { return m_airlineOperator; }
    const std::vector<std::string>& aircraftData() const { return m_aircraftData; }
    const Ref<AVAudioPlayer>& backgroundMusicPlayer() const { return m_backgroundMusicPlayer; }

    // Whether the plane counts as flying for no airline (test flights, private registrations).
    static bool planeHasNoAirline(const Ref<KESTPlane>& plane);

    void cleanup();
    bool isCleanedUp() const { return m_cleanedUp; }
    // Stops observing and pops the screen's navigation controller.
    void close();
    void liveDataDidUpdate();
    void metadataDidUpdate();
    void refreshRequested();
    void updateLivePlaneData();
    void fetchPlaneData();
    void fetchPlaneICAOData(bool ignored);
    void showShareOptions();
    // The picture the share sheet carries: the map snapshot beside the selected tab's whole
    // table, over a band with the share logo.
    Ref<UIImage> composedShareImage();
    // The share sheet last shown, for tests.
    const Ref<UIActivityViewController>& lastShareSheet() const { return m_lastShareSheet; }

    std::vector<Ref<KESTDetailBaseViewController>> tabs() const;

    void viewWillAppear(bool animated) override;
    void tabBarControllerDidSelectViewController(const Ref<UITabBarController>&, const Ref<UIViewController>&) override;

private:
    enum class Answer { JSON, Image };
    using Success = std::function<void(const Ref<KESTDetailViewController>&, const Value&)>;
    using Failure = std::function<void(const Ref<KESTDetailViewController>&)>;
    // Queues a GET of the address; an address that is no URL fails on a later turn of the main
    // queue, as a failed request would.
    void queueRequest(const std::string& address, Answer answer, Success success, Failure failure);
    void storeMetadata(const Value& answer);

    void liveDataNotification(const Ref<NSNotification>&) { liveDataDidUpdate(); }
    void metadataNotification(const Ref<NSNotification>&) { metadataDidUpdate(); }
    void refreshNotification(const Ref<NSNotification>&) { refreshRequested(); }

    Ref<KESTPlane> m_plane;
    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<UIImage> m_mapSnapshot;
    Ref<NSOperationQueue> m_networkQueue;
    Value m_metadata;
    Value m_oagData;
    Value m_routeData;
    Value m_progressData;
    Value m_planeImages;
    Ref<UIImage> m_airlineImage;
    Ref<UIImage> m_manufacturerImage;
    Ref<UIImage> m_aircraftTechnicalImage;
    std::string m_altitude;
    std::string m_speed;
    std::string m_course;
    std::optional<std::string> m_airlineSQLName;
    std::optional<std::string> m_airlineICAO;
    std::optional<std::string> m_airlineCallsign;
    std::optional<std::string> m_airlineOperator;
    std::vector<std::string> m_aircraftData;
    Ref<AVAudioPlayer> m_backgroundMusicPlayer;
    Ref<UIActivityViewController> m_lastShareSheet;
    bool m_cleanedUp { false };
};
