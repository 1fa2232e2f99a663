#pragma once

#include "app/application/KESTAppDelegate.h"
#include "app/core/KESTFilter.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTFilterDetail.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/tests/map/MapTestSupport.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "testing/Drain.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UITableView.h"
#include "uikit/UIWindow.h"
#include "vxbuild/TestPaths.h"

#include <algorithm>
#include <string>
#include <vector>

// One live plane as the feed reports it.
struct LivePlane {
    std::string hex, type, route, callsign, squawk, fltno;
    double altitude { 30000 }, speed { 400 };
};

// One condition of a test filter.
struct Condition {
    int32_t type;
    std::string detail;
    float lower { 0 }, upper { 1 };
    int32_t airportType { 0 };
};

// A fresh live feed and map facade on a virtual clock, the application's main context (an
// empty store in the test's sandbox) handed to the filter manager, and helpers to publish
// planes and store filters.
class FilterTestScope {
public:
    FilterTestScope()
    {
        {
            // The model from the source tree; images stay those of the built bundle.
            NSBundle::setMainBundlePath(VX_SOURCE_DIR "/resources");
            m_app = KESTAppDelegate::init();
            m_context = m_app->managedObjectContext();
            NSBundle::setMainBundlePath({});
        }
        KESTFilterDataManager::sharedInstance()->setManagedObjectContext(m_context);
    }
    ~FilterTestScope()
    {
        drainAll();
        KESTFilterDataManager::sharedInstance()->setManagedObjectContext(nullptr);
        m_context = nullptr;
        m_app = nullptr;
    }
    FilterTestScope(const FilterTestScope&) = delete;
    FilterTestScope& operator=(const FilterTestScope&) = delete;

    const Ref<NSManagedObjectContext>& context() const { return m_context; }
    MapTestScope& map() { return m_map; }

    void publish(const std::vector<LivePlane>& planes)
    {
        std::string json = R"({"planes":{)";
        for (size_t i = 0; i < planes.size(); ++i) {
            const auto& p = planes[i];
            json += NSString::stringWithFormat(
                R"(%@"%@":["%@","%@","G-TEST","%@",51.0,0.0,%@,90,%@,1388534390,"%@",0,"%@"])",
                std::string(i ? "," : ""), p.hex, p.type, p.route, p.callsign, Value(p.altitude).stringValue(),
                Value(p.speed).stringValue(), p.squawk, p.fltno);
        }
        json += "}}";
        Value answer = NSJSONSerialization::JSONObjectWithData(
            std::string_view(json), NSJSONSerialization::NSJSONReadingMutableContainers, nullptr);
        KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(answer, true, nullptr, nullptr);
        drainAll();
    }

    // A filter stored in the main context (not saved) with the given conditions; nullopt
    // conditions leave the relationship untouched.
    Ref<KESTFilter> addFilter(const std::string& name, Value active, const std::vector<Condition>& conditions)
    {
        auto filter = std::dynamic_pointer_cast<KESTFilter>(
            NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTFilter", m_context));
        filter->setFilterName(Value(name));
        filter->setFilterActive(active);
        for (const auto& c : conditions)
            filter->addChildFilterObject(addDetail(c));
        return filter;
    }
    Ref<KESTFilterDetail> addDetail(const Condition& c)
    {
        auto detail = std::dynamic_pointer_cast<KESTFilterDetail>(
            NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTFilterDetail", m_context));
        detail->setFilterDetailType(Value(c.type));
        detail->setFilterDetail(Value(c.detail));
        detail->setFilterTitle(Value(c.detail));
        detail->setFilterLowerLimit(Value(c.lower));
        detail->setFilterUpperLimit(Value(c.upper));
        detail->setFilterAirportType(Value(c.airportType));
        return detail;
    }

    // The hexes of the planes the live feed hands out through the cached predicate, sorted.
    static std::vector<std::string> filteredHexes()
    {
        std::vector<std::string> hexes;
        for (const auto& plane : KESTLiveDataManager::sharedInstance()->planeArray())
            hexes.push_back(plane->adshex());
        std::sort(hexes.begin(), hexes.end());
        return hexes;
    }

    // The match count of one filter, once the count has come back on the main queue.
    static int32_t countOf(const Ref<KESTFilter>& filter)
    {
        int32_t result = -1;
        KESTFilterDataManager::sharedInstance()->calculateNumberOfPlanesWithCallback(
            filter, [&result](int32_t count) { result = count; });
        drainAll();
        return result;
    }

private:
    MapTestScope m_map;
    Ref<KESTAppDelegate> m_app;
    Ref<NSManagedObjectContext> m_context;
};

// The default range conditions every filter saved by the editor carries.
inline std::vector<Condition> withRanges(std::vector<Condition> conditions)
{
    conditions.push_back({ 4, "ALTITUDEDATA" });
    conditions.push_back({ 5, "SPEEDDATA" });
    return conditions;
}

// A key window whose root is a navigation controller, for pushing the screens under test.
class ScreenHost {
public:
    ScreenHost()
    {
        UIApplicationHost::resetForTesting();
        window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        home = UIViewController::init();
        navigation = UINavigationController::initWithRootViewController(home);
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        drainAll();
    }
    ~ScreenHost()
    {
        drainAll();
        window = nullptr;
        navigation = nullptr;
        home = nullptr;
        UIApplicationHost::resetForTesting();
    }
    void push(const Ref<UIViewController>& screen)
    {
        navigation->pushViewControllerAnimated(screen, false);
        drainAll();
    }
    void back()
    {
        navigation->popViewControllerAnimated(false);
        drainAll();
    }
    static Ref<UITableViewCell> cellAt(const Ref<UITableView>& table, int32_t row, int32_t section = 0)
    {
        table->layoutIfNeeded();
        return table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(row, section));
    }

    Ref<UIWindow> window;
    Ref<UIViewController> home;
    Ref<UINavigationController> navigation;
};
