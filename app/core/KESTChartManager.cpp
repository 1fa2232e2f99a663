#include "app/core/KESTChartManager.h"

#include "app/core/KESTChartObject.h"
#include "app/core/KESTLiveDataManager.h"
#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/ThreadChecks.h"
#include "net/NSURLError.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNHTTPRequestOperationManager.h"
#include "networking/VNJSONResponseSerializer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>

VX_REGISTER_CLASS(KESTChartManager);

namespace {

std::mutex s_sharedLock;
Ref<KESTChartManager> s_shared;

// The wait before fetching again after a failure, doubled after each failure in a row.
constexpr double kFirstRetryDelay = 5;
constexpr double kLongestRetryDelay = 300;

// Splits at every ",", keeping empty parts.
std::vector<std::string> splitAtCommas(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

// A component of "bounds": a decimal number, blanks around it allowed.
std::optional<double> numberIn(const std::string& text)
{
    const char* start = text.c_str();
    char* end = nullptr;
    double value = std::strtod(start, &end);
    if (end == start)
        return std::nullopt;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0' || !std::isfinite(value))
        return std::nullopt;
    return value;
}

struct ChartGeometry {
    MKMapRect bounds;
    CLLocationCoordinate2D coordinate;
};

// The area and centre of a product; nullopt when its "bounds" cannot give two corners.
std::optional<ChartGeometry> geometryForRecord(const Value& record)
{
    const Value& metadata = record["product_metadata"];
    if (metadata.isNil()) {
        // No metadata: the whole world, shifted as the service's older clients expect.
        MKMapRect world = MKMapRectWorld;
        world.origin = { 1048600, 1048600 };
        return ChartGeometry { world, CLLocationCoordinate2D { 0, 0 } };
    }
    CLLocationCoordinate2D cornerA { 0, 0 }, cornerB { 0, 0 };
    const Value& bounds = metadata["bounds"];
    if (!bounds.isNil()) {
        if (!bounds.isString())
            return std::nullopt;
        auto parts = splitAtCommas(bounds.string());
        if (parts.size() < 4)
            return std::nullopt;
        double numbers[4];
        for (size_t i = 0; i < 4; ++i) {
            auto number = numberIn(parts[i]);
            if (!number)
                return std::nullopt;
            // Read at single precision, as the service's bounds always have been.
            numbers[i] = static_cast<double>(static_cast<float>(*number));
        }
        cornerA = { numbers[1], numbers[0] };
        cornerB = { numbers[3], numbers[2] };
    }
    MKMapPoint a = MKMapPointForCoordinate(cornerA);
    MKMapPoint b = MKMapPointForCoordinate(cornerB);
    MKMapRect rect = MKMapRectMake(std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(a.x - b.x), std::fabs(a.y - b.y));
    MKMapPoint middle { rect.origin.x + rect.size.width * 0.5, rect.origin.y + rect.size.height * 0.5 };
    return ChartGeometry { rect, MKCoordinateForMapPoint(middle) };
}

} // namespace

Ref<KESTChartManager> KESTChartManager::sharedInstance()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_shared)
        s_shared = make<KESTChartManager>();
    return s_shared;
}

void KESTChartManager::resetSharedInstanceForTesting()
{
    std::lock_guard guard(s_sharedLock);
    s_shared = nullptr;
}

std::string KESTChartManager::productListURL()
{
    return KESTLiveDataManager::serviceBaseURL() + "charts/products";
}

Ref<VNHTTPRequestOperationManager> KESTChartManager::manager()
{
    assertIsMainThread();
    if (!m_manager) {
        m_manager = VNHTTPRequestOperationManager::manager();
        m_manager->setResponseSerializer(VNJSONResponseSerializer::serializer());
    }
    return m_manager;
}

void KESTChartManager::getChartsWithSuccess(SuccessBlock success, ErrorBlock error)
{
    assertIsMainThread();
    // This fetch takes the place of a waiting retry.
    if (m_retryTimer) {
        m_retryTimer->invalidate();
        m_retryTimer = nullptr;
    }
    Weak<KESTChartManager> weak = self<KESTChartManager>();
    manager()->GETParametersSuccessFailure(
        productListURL(), Value(),
        [weak, success, error](const Ref<VNHTTPRequestOperation>&, const Value& products) {
            auto self = weak.lock();
            if (!self)
                return;
            if (!products.isArray()) {
                if (error)
                    error(NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorCannotParseResponse));
                self->scheduleRetry(success, error);
                return;
            }
            self->m_retryDelay = 0;
            self->rebuildChartsWithProducts(products);
            if (success)
                success();
        },
        [weak, success, error](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& failure) {
            if (error)
                error(failure);
            if (auto self = weak.lock())
                self->scheduleRetry(success, error);
        });
}

void KESTChartManager::scheduleRetry(SuccessBlock success, ErrorBlock error)
{
    assertIsMainThread();
    if (m_retryTimer)
        return;
    m_retryDelay = m_retryDelay == 0 ? kFirstRetryDelay : std::min(m_retryDelay * 2, kLongestRetryDelay);
    Weak<KESTChartManager> weak = self<KESTChartManager>();
    m_retryTimer = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(
        m_retryDelay, false, [weak, success = std::move(success), error = std::move(error)](const Ref<NSTimer>&) {
            if (auto self = weak.lock()) {
                self->m_retryTimer = nullptr;
                self->getChartsWithSuccess(success, error);
            }
        });
}

void KESTChartManager::rebuildChartsWithProducts(const Value& products)
{
    assertIsMainThread();
    std::vector<Ref<KESTChartObject>> built;
    for (const auto& record : products.elements()) {
        if (!record.isDictionary()) {
            NSLog("Skipping a chart product that is not an object: %@", record.description());
            continue;
        }
        auto geometry = geometryForRecord(record);
        if (!geometry) {
            NSLog("Skipping chart product %@: its bounds are not four numbers",
                record["product_description"].description());
            continue;
        }
        built.push_back(KESTChartObject::initWithChartUrl(record, geometry->bounds, geometry->coordinate));
    }
    m_charts = built;

    auto defaults = NSUserDefaults::standardUserDefaults();
    Value stored = defaults->objectForKey("vxActiveCharts");
    if (!stored.isArray())
        stored = Value();
    Value pruned = Value::mutableArray();
    for (const auto& entry : stored.elements()) {
        const Value& name = entry["name"];
        bool listed = std::any_of(m_charts.begin(), m_charts.end(), [&](const Ref<KESTChartObject>& chart) {
            auto chartName = chart->name();
            return chartName && name.isString() && name.string() == *chartName;
        });
        if (listed)
            pruned.addObject(entry);
    }

    for (const auto& chart : m_charts) {
        chart->setActive(false);
        if (stored.count() == 0)
            continue;
        auto chartName = chart->name();
        if (!chartName)
            continue;
        for (const auto& entry : stored.elements()) {
            const Value& name = entry["name"];
            if (name.isString() && name.string() == *chartName) {
                chart->setActive(true);
                chart->setOrder(entry["order"].intValue());
                break;
            }
        }
    }

    defaults->setObjectForKey(pruned, "vxActiveCharts");

    // Order first, then name by plain comparison (capitals before small letters).
    std::vector<Ref<KESTChartObject>> sorted = m_charts;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Ref<KESTChartObject>& a, const Ref<KESTChartObject>& b) {
        if (a->order() != b->order())
            return a->order() < b->order();
        auto nameA = a->name(), nameB = b->name();
        if (!nameA || !nameB)
            return !nameA && nameB;
        return *nameA < *nameB;
    });
    m_charts = std::move(sorted);
}

std::vector<Ref<KESTChartObject>> KESTChartManager::activeCharts() const
{
    assertIsMainThread();
    std::vector<Ref<KESTChartObject>> active;
    for (const auto& chart : m_charts) {
        if (chart->active())
            active.push_back(chart);
    }
    return active;
}
