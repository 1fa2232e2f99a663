#include "app/view-controllers/detail/KESTDetailViewController.h"

#include "app/categories/UIImage+ProportionResize.h"
#include "app/core/KESTDetailServiceURLs.h"
#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTURLEscaping.h"
#include "app/view-controllers/detail/KESTAircraftDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightDetailViewController.h"
#include "app/view-controllers/detail/KESTOverviewDetailViewController.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "graphics/UIImage.h"
#include "media/AVAudioPlayer.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageResponseSerializer.h"
#include "networking/VNJSONResponseSerializer.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

VX_REGISTER_CLASS(KESTDetailViewController);

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string replaceAll(std::string text, char from, char to)
{
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

} // namespace

KESTDetailViewController::~KESTDetailViewController()
{
    NSNotificationCenter::defaultCenter()->removeObserver(static_cast<const NSObject*>(this));
}

Ref<KESTDetailViewController> KESTDetailViewController::initWithPlane(const Ref<KESTPlane>& plane)
{
    auto detail = makeController<KESTDetailViewController>({}, nullptr);
    detail->m_plane = plane;
    detail->setEdgesForExtendedLayout(UIRectEdgeNone);
    Weak<KESTDetailViewController> weak = detail;
    detail->navigationItem()->setRightBarButtonItem(UIBarButtonItem::initWithTitleStyleTargetAction(
        NSLocalizedString("Share"), UIBarButtonItemStylePlain, detail, [weak](const Ref<UIBarButtonItem>&) {
            if (auto screen = weak.lock())
                screen->showShareOptions();
        }));
    detail->setDelegate(detail.get(), detail);
    auto overview = KESTOverviewDetailViewController::initWithStyle(UITableViewStylePlain);
    auto aircraft = KESTAircraftDetailViewController::initWithStyle(UITableViewStylePlain);
    auto flight = KESTFlightDetailViewController::initWithStyle(UITableViewStylePlain);
    detail->setViewControllersAnimated({ overview, flight, aircraft }, false);
    auto center = NSNotificationCenter::defaultCenter();
    center->addObserver(
        detail, &KESTDetailViewController::liveDataNotification, std::string(KESTLiveDataUpdatedNotification), nullptr);
    center->addObserver(
        detail, &KESTDetailViewController::metadataNotification, std::string(kMetadataUpdatedNotification), nullptr);
    center->addObserver(
        detail, &KESTDetailViewController::refreshNotification, std::string(kRefreshDataNotification), nullptr);
    detail->fetchPlaneData();
    return detail;
}

std::vector<Ref<KESTDetailBaseViewController>> KESTDetailViewController::tabs() const
{
    std::vector<Ref<KESTDetailBaseViewController>> list;
    for (const auto& child : viewControllers()) {
        if (auto tab = std::dynamic_pointer_cast<KESTDetailBaseViewController>(child))
            list.push_back(tab);
    }
    return list;
}

Ref<NSOperationQueue> KESTDetailViewController::networkQueue()
{
    if (!m_networkQueue)
        m_networkQueue = NSOperationQueue::init();
    return m_networkQueue;
}

void KESTDetailViewController::viewWillAppear(bool animated)
{
    UITabBarController::viewWillAppear(animated);
    if (m_plane && m_plane->dataType() == 99 && (!m_backgroundMusicPlayer || !m_backgroundMusicPlayer->isPlaying())) {
        auto path = NSBundle::mainBundle()->pathForResource("santa_loop", "mp3");
        m_backgroundMusicPlayer = path ? AVAudioPlayer::initWithContentsOfURLError(*path) : nullptr;
        if (m_backgroundMusicPlayer) {
            m_backgroundMusicPlayer->setNumberOfLoops(-1);
            m_backgroundMusicPlayer->prepareToPlay();
            m_backgroundMusicPlayer->play();
        }
    }
    Value stored = NSUserDefaults::standardUserDefaults()->objectForKey(kSelectedTabKey);
    if (!stored.isNil())
        setSelectedIndex(static_cast<uint32_t>(stored.intValue()));
}

void KESTDetailViewController::tabBarControllerDidSelectViewController(
    const Ref<UITabBarController>& controller, const Ref<UIViewController>&)
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObjectForKey(Value(static_cast<int32_t>(controller->selectedIndex())), kSelectedTabKey);
    defaults->synchronize();
}

void KESTDetailViewController::liveDataDidUpdate()
{
    for (const auto& tab : tabs())
        tab->liveDataDidUpdate();
    updateLivePlaneData();
}

void KESTDetailViewController::metadataDidUpdate()
{
    updateLivePlaneData();
    for (const auto& tab : tabs())
        tab->metadataDidUpdate();
}

void KESTDetailViewController::refreshRequested()
{
    for (const auto& tab : tabs())
        tab->refreshRequested();
}

void KESTDetailViewController::updateLivePlaneData()
{
    if (!m_plane)
        return;
    auto formatter = KESTFlightDataManager::sharedInstance();
    m_course = formatter->formattedHeadingWithValue(m_plane->heading());
    m_speed = formatter->formattedSpeedWithKnots(m_plane->speed()).value_or("");
    m_altitude = formatter->formattedAltitudeWithFeet(m_plane->altitude()).value_or("");
    if (m_oagData.isNil())
        return;
    const Value& departure = m_oagData.objectForKey("departure_airport");
    const Value& arrival = m_oagData.objectForKey("arrival_airport");
    Value distances = formatter->getAirportDistancesWithDepartureAptAndArrivalAptAndCurrentPlaneLocation(
        departure.isString() ? departure.string() : std::string(),
        arrival.isString() ? arrival.string() : std::string(), m_plane->coordinate());
    Value progress = distances.isDictionary() ? distances.mutableCopy() : Value::mutableDictionary();
    int32_t currentHop = 0, totalHops = 0;
    // A short or odd "status" keeps both figures at 0; non-numbers read as 0.
    const Value& status = m_metadata.objectForKey("status");
    if (status.isArray() && status.count() >= 4) {
        currentHop = status.objectAtIndex(2).intValue();
        totalHops = status.objectAtIndex(3).intValue();
    }
    progress.setObjectForKey(Value(currentHop), "currentHop");
    progress.setObjectForKey(Value(totalHops), "totalHops");
    m_progressData = progress;
}

bool KESTDetailViewController::planeHasNoAirline(const Ref<KESTPlane>& plane)
{
    std::string callsign = plane->callsign(), reg = plane->reg();
    if (callsign == "GOTO FMS" || callsign == reg || startsWith(callsign, "z.NO"))
        return true;
    return callsign.size() >= 4 && reg.size() >= 4 && startsWith(callsign, "AMX") && startsWith(reg, "VH-");
}

void KESTDetailViewController::queueRequest(const std::string& address, Answer answer, Success success, Failure failure)
{
    Weak<KESTDetailViewController> weak = self<KESTDetailViewController>();
    auto url = NSURL::URLWithString(address);
    if (!url) {
        dispatch_async(dispatch_get_main_queue(), [weak, failure] {
            if (auto screen = weak.lock())
                failure(screen);
        });
        return;
    }
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
    if (answer == Answer::JSON)
        operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
    else
        operation->setResponseSerializer(VNImageResponseSerializer::serializer());
    operation->setCompletionBlockWithSuccessFailure(
        [weak, success](const Ref<VNHTTPRequestOperation>&, const Value& object) {
            if (auto screen = weak.lock())
                success(screen, object);
        },
        [weak, failure](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {
            if (auto screen = weak.lock())
                failure(screen);
        });
    networkQueue()->addOperation(operation);
}

void KESTDetailViewController::fetchPlaneData()
{
    if (!m_plane)
        return;
    auto data = KESTFlightDataManager::sharedInstance();
    bool noAirline = planeHasNoAirline(m_plane);
    Value route = Value::mutableArray();
    for (const auto& entry : data->getExpandedAirportInfoFromRoute(m_plane->route()))
        route.addObject(Value::array({ Value(entry[0]), Value(entry[1]), Value(entry[2]), Value(entry[3]) }));
    m_routeData = route.copy();
    auto planeAirline = m_plane->airlineICAO().value_or("");
    m_airlineSQLName = std::nullopt;
    if (!noAirline)
        m_airlineSQLName = data->getAirlineName(planeAirline);
    m_airlineICAO = std::nullopt;
    auto callsign = data->getAirlineCallsign(planeAirline);
    if (callsign && !noAirline) {
        m_airlineICAO = data->getAirlineICAO(planeAirline);
        m_airlineCallsign = callsign;
    } else {
        m_airlineCallsign = NSLocalizedString("N/A");
    }
    fetchPlaneICAOData(true);
    m_aircraftData.clear();
    if (auto names = data->getAircraftFullNameArray(m_plane->type()))
        m_aircraftData.assign(names->begin(), names->end());

    std::string base = KESTLiveDataManager::serviceBaseURL();
    if (!m_aircraftData.empty()) {
        std::string maker = KESTURLEscaping::escapedValue(m_aircraftData[0]);
        queueRequest(
            NSString::stringWithFormat("%@APPAPIv2/getManufacturerLogo.php?manufacturer=%@", base, maker),
            Answer::Image,
            [](const Ref<KESTDetailViewController>& screen, const Value& image) {
                auto logo = image.objectAs<UIImage>();
                if (!logo)
                    return;
                screen->m_manufacturerImage
                    = UIImage_ProportionResize::imageByScalingProportionallyToSize(logo, CGSizeMake(500, 100));
                NSNotificationCenter::defaultCenter()->postNotificationName(kRefreshDataNotification, nullptr);
            },
            [](const Ref<KESTDetailViewController>&) {});
    }

    m_aircraftTechnicalImage = UIImage::imageNamed("planeNoImage.png");
    queueRequest(
        NSString::stringWithFormat("%@APPAPIv2/planeMetaData.php?adshex=%@&flightno=%@", base,
            KESTURLEscaping::escapedValue(m_plane->adshex()), KESTURLEscaping::escapedValue(m_plane->fltno())),
        Answer::JSON,
        [](const Ref<KESTDetailViewController>& screen, const Value& answer) { screen->storeMetadata(answer); },
        [](const Ref<KESTDetailViewController>&) {
            NSNotificationCenter::defaultCenter()->postNotificationName(kMetadataUpdatedNotification, nullptr);
        });
    // A ground vehicle ("<gnd>") has no photos: its search fails at once, without a request.
    std::string photoSearch = m_plane->reg() == "<gnd>"
        ? std::string()
        : NSString::stringWithFormat("%@searchPhotos.php?querytext=%@", KESTDetailServiceURLs::photoSearchBaseURL(),
            KESTURLEscaping::escapedValue(m_plane->reg()));
    queueRequest(
        photoSearch, Answer::JSON,
        [](const Ref<KESTDetailViewController>& screen, const Value& answer) {
            // An answer that is not a list counts as a failed search; items that are not objects
            // are skipped, and missing texts read as empty.
            if (answer.isArray()) {
                std::string images = KESTDetailServiceURLs::imageServerBaseURL();
                Value photos = Value::mutableArray();
                for (const auto& item : answer.elements()) {
                    if (!item.isDictionary())
                        continue;
                    auto text = [&item](const char* key) {
                        const Value& value = item.objectForKey(key);
                        return value.isString() ? value.string()
                            : value.isNumber()  ? value.stringValue()
                                                : std::string();
                    };
                    photos.addObject(Value::dictionary({
                        { "thumbnail",
                            Value(NSString::stringWithFormat(
                                "%@640thumbs/%@.jpg", images, KESTURLEscaping::escapedValue(text("id")))) },
                        { "fullsize", Value(images + text("filename")) },
                        { "author", Value(text("author")) },
                        { "ningurl", Value(text("NINGURL")) },
                    }));
                }
                screen->m_planeImages = photos;
            }
            NSNotificationCenter::defaultCenter()->postNotificationName(kPhotosUpdatedNotification, nullptr);
        },
        [](const Ref<KESTDetailViewController>&) {
            NSNotificationCenter::defaultCenter()->postNotificationName(kPhotosUpdatedNotification, nullptr);
        });
    if (m_plane->callsign() != m_plane->reg()) {
        queueRequest(
            NSString::stringWithFormat("%@v1/getImage.php?airlineCode=%@&aircraftType=%@&skipFuzzy=1",
                KESTPlaneMarkerManager::logoServiceBaseURL(), KESTURLEscaping::escapedValue(planeAirline),
                KESTURLEscaping::escapedValue(replaceAll(m_plane->type(), '?', 'z'))),
            Answer::Image,
            [](const Ref<KESTDetailViewController>& screen, const Value& image) {
                auto drawing = image.objectAs<UIImage>();
                screen->m_aircraftTechnicalImage = drawing ? drawing : UIImage::imageNamed("planeNoImage.png");
                NSNotificationCenter::defaultCenter()->postNotificationName(kImagesUpdatedNotification, nullptr);
            },
            [](const Ref<KESTDetailViewController>&) {});
    }
    updateLivePlaneData();
}

void KESTDetailViewController::fetchPlaneICAOData(bool)
{
    if (!m_plane || !m_airlineICAO || m_plane->callsign() == m_plane->reg() || m_plane->reg() == "<gnd>")
        return;
    queueRequest(
        NSString::stringWithFormat("%@v1/getLogo.php?airlineCode=%@", KESTPlaneMarkerManager::logoServiceBaseURL(),
            KESTURLEscaping::escapedValue(*m_airlineICAO)),
        Answer::Image,
        [](const Ref<KESTDetailViewController>& screen, const Value& image) {
            auto logo = image.objectAs<UIImage>();
            if (!logo)
                return;
            screen->m_airlineImage
                = UIImage_ProportionResize::imageByScalingProportionallyToSize(logo, CGSizeMake(500, 100));
            NSNotificationCenter::defaultCenter()->postNotificationName(kRefreshDataNotification, nullptr);
        },
        [](const Ref<KESTDetailViewController>&) {});
}

void KESTDetailViewController::storeMetadata(const Value& answer)
{
    // An empty body decodes to nothing: nothing more happens. Any other answer that is not an
    // object counts as a failed request.
    if (answer.isNil())
        return;
    if (!answer.isDictionary()) {
        NSNotificationCenter::defaultCenter()->postNotificationName(kMetadataUpdatedNotification, nullptr);
        return;
    }
    m_metadata = answer;
    m_airlineOperator = NSLocalizedString("N/A");
    const Value& aircraft = answer.objectForKey("aircraft");
    if (aircraft.isDictionary() && !aircraft.objectForKey("country").isNil()) {
        const Value& owner = aircraft.objectForKey("Operator");
        m_airlineOperator = owner.isString() ? owner.string() : NSLocalizedString("N/A");
    }
    const Value& route = answer.objectForKey("route");
    if (route.isArray())
        m_oagData = KESTFlightDataManager::sharedInstance()->parseOAGData(route);
    const Value& airline = answer.objectForKey("airlineICAO");
    if (airline.isString() && !m_airlineICAO) {
        auto data = KESTFlightDataManager::sharedInstance();
        m_airlineICAO = airline.string();
        m_airlineSQLName = data->getAirlineName(airline.string());
        m_airlineCallsign = data->getAirlineCallsign(airline.string());
        fetchPlaneICAOData(true);
    }
    NSNotificationCenter::defaultCenter()->postNotificationName(kMetadataUpdatedNotification, nullptr);
}

void KESTDetailViewController::cleanup()
{
    for (const auto& tab : tabs())
        tab->cleanup();
    if (m_backgroundMusicPlayer)
        m_backgroundMusicPlayer->stop();
    m_cleanedUp = true;
}

void KESTDetailViewController::close()
{
    NSNotificationCenter::defaultCenter()->removeObserver(static_cast<const NSObject*>(this));
    if (auto navigation = navigationController())
        navigation->popViewControllerAnimated(true);
}
