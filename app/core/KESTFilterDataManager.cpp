#include "app/core/KESTFilterDataManager.h"

#include "app/core/KESTFilter.h"
#include "app/core/KESTFilterDetail.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "coredata/NSFetchRequest.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/Dispatch.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSString.h"
#include "foundation/ThreadChecks.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

#include <algorithm>
#include <vector>

VX_REGISTER_CLASS(KESTFilterDataManager);

namespace {

constexpr float kAltitudeScale = 60000;
constexpr float kSpeedScale = 600;

// A value put between single quotes in the predicate text: a backslash or a quote in it would
// end or escape the literal early, so both are escaped.
std::string quoted(const Value& value)
{
    std::string text = value.isString() ? value.stringValue()
        : value.isNilOrNull()           ? std::string()
                                        : value.description();
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\' || c == '\'')
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

KESTFilterDataManager::KESTFilterDataManager(Passkey key)
    : NSObject(key)
{
}

Ref<KESTFilterDataManager> KESTFilterDataManager::sharedInstance()
{
    static const Ref<KESTFilterDataManager> s_instance = [] {
        KESTFilter::registerClass();
        return make<KESTFilterDataManager>();
    }();
    return s_instance;
}

Ref<NSPredicate> KESTFilterDataManager::predicate() const
{
    std::lock_guard guard(m_lock);
    return m_predicate;
}

void KESTFilterDataManager::setPredicate(Ref<NSPredicate> predicate)
{
    std::lock_guard guard(m_lock);
    m_predicate = std::move(predicate);
}

void KESTFilterDataManager::setManagedObjectContext(Ref<NSManagedObjectContext> context)
{
    assertIsMainThread();
    {
        std::lock_guard guard(m_lock);
        m_managedObjectContext = std::move(context);
        m_filterMOC = nullptr;
    }
    recacheFilters();
}

Ref<NSManagedObjectContext> KESTFilterDataManager::managedObjectContext() const
{
    std::lock_guard guard(m_lock);
    return m_managedObjectContext;
}

Ref<NSManagedObjectContext> KESTFilterDataManager::filterMOC()
{
    std::lock_guard guard(m_lock);
    if (!m_managedObjectContext)
        return nullptr;
    if (!m_filterMOC) {
        m_filterMOC
            = NSManagedObjectContext::initWithConcurrencyType(NSManagedObjectContext::NSPrivateQueueConcurrencyType);
        m_filterMOC->setParentContext(m_managedObjectContext);
    }
    return m_filterMOC;
}

void KESTFilterDataManager::setFilterMOC(Ref<NSManagedObjectContext> context)
{
    std::lock_guard guard(m_lock);
    m_filterMOC = std::move(context);
}

Value KESTFilterDataManager::filtersIncludingInactive(bool includingInactive) const
{
    auto context = managedObjectContext();
    if (!context)
        return Value();
    auto request = NSFetchRequest::fetchRequestWithEntityName("KESTFilter");
    if (!includingInactive)
        request->setPredicate(NSPredicate::predicateWithFormat("(filterActive = YES)"));
    Value result;
    context->performBlockAndWait([&] {
        Ref<NSError> error;
        result = context->executeFetchRequest(request, &error);
        if (error)
            result = Value();
    });
    return result;
}

std::optional<std::string> KESTFilterDataManager::clauseForFilter(const Ref<KESTFilter>& filter)
{
    if (!filter)
        return std::nullopt;
    // Groups in their fixed order: airline, aircraft, airport, squawk.
    std::vector<std::string> groups[4];
    std::vector<std::string> conjuncts;
    for (const auto& detail : filter->childFilter()) {
        std::string value = quoted(detail->filterDetail());
        switch (detail->filterDetailType().intValue()) {
        case 0:
            groups[0].push_back(
                NSString::stringWithFormat("(fltno contains[c] '%@' OR callsign contains[c] '%@')", value, value));
            break;
        case 1:
            groups[1].push_back(NSString::stringWithFormat("type contains[c] '%@'", value));
            break;
        case 2: {
            int32_t direction = detail->filterAirportType().intValue();
            std::string pattern = direction == 0 ? "-" + value : direction == 1 ? value + "-" : value;
            groups[2].push_back(NSString::stringWithFormat("route contains[c] '%@'", pattern));
            break;
        }
        case 3:
            groups[3].push_back(NSString::stringWithFormat("squawk contains[c] '%@'", value));
            break;
        case 4:
        case 5: {
            bool altitude = detail->filterDetailType().intValue() == 4;
            float scale = altitude ? kAltitudeScale : kSpeedScale;
            float lower = detail->filterLowerLimit().floatValue() * scale;
            float upper = detail->filterUpperLimit().floatValue() * scale;
            conjuncts.push_back(
                NSString::stringWithFormat(altitude ? "altitude > %f AND altitude < %f" : "speed > %f AND speed < %f",
                    double(lower), double(upper)));
            break;
        }
        default:
            break;
        }
    }
    for (const auto& group : groups) {
        if (!group.empty())
            conjuncts.push_back("(" + NSString::componentsJoinedByString(group, " OR ") + ")");
    }
    // A filter without conditions adds no clause rather than an empty one, which would make
    // the whole text unparsable.
    if (conjuncts.empty())
        return std::nullopt;
    return NSString::componentsJoinedByString(conjuncts, " AND ");
}

void KESTFilterDataManager::recacheFilters()
{
    assertIsMainThread();
    setPredicate(nullptr);
    Value active = filtersIncludingInactive(false);
    if (!active.isArray() || active.count() == 0)
        return;
    std::vector<std::string> clauses;
    for (const auto& element : active.elements()) {
        if (auto clause = clauseForFilter(element.objectAs<KESTFilter>()))
            clauses.push_back(*clause);
    }
    if (clauses.empty())
        return;
    try {
        setPredicate(NSPredicate::predicateWithFormat(NSString::componentsJoinedByString(clauses, " OR ")));
    } catch (const NSException&) {
        // Values are escaped, so this is not expected; no predicate shows every plane.
        setPredicate(nullptr);
    }
}

void KESTFilterDataManager::calculateNumberOfPlanesWithCallback(
    const Ref<KESTFilter>& filter, std::function<void(int32_t)> callback)
{
    assertIsMainThread();
    std::vector<std::string> clauses;
    if (auto clause = clauseForFilter(filter))
        clauses.push_back(*clause);
    // The block carries only the text and the callback: no managed object leaves the main thread.
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_LOW, 0),
        [clauses = std::move(clauses), callback = std::move(callback)] {
            int32_t count = 0;
            try {
                std::string text = NSString::componentsJoinedByString(clauses, " OR ");
                auto planes = KESTLiveDataManager::sharedInstance()->unfilteredPlaneArray();
                auto predicate = NSPredicate::predicateWithFormat(text);
                for (const auto& plane : planes) {
                    if (predicate->evaluateWithObject(Value(plane)))
                        ++count;
                }
            } catch (const NSException&) {
                count = 0;
            }
            dispatch_async(dispatch_get_main_queue(), [callback, count] {
                if (callback)
                    callback(count);
            });
        });
}

Ref<UIImage> KESTFilterDataManager::filterIconWithBadge() const
{
    assertIsMainThread();
    Value active = filtersIncludingInactive(false);
    if (active.isArray() && active.count() > 0)
        return filterIconWithBadgeValue(NSString::stringWithFormat("%lu", static_cast<unsigned long>(active.count())));
    return filterIconWithBadgeValue(std::nullopt);
}

Ref<UIImage> KESTFilterDataManager::filterIconWithBadgeValue(const std::optional<std::string>& value) const
{
    assertIsMainThread();
    auto icon = UIImage::imageNamed("filterListMenu");
    if (!value || !icon)
        return icon;
    CGSize size = icon->size();
    UIGraphicsBeginImageContextWithOptions(size, false, 0);
    if (!UIGraphicsGetCurrentContext())
        return icon;
    icon->drawInRect(CGRectMake(0, 0, size.width, size.height));

    auto paragraph = NSParagraphStyle::mutableParagraphStyle();
    paragraph->setAlignment(NSTextAlignmentCenter);
    Value attributes = Value::dictionary({ { Value(NSFontAttributeName), Value(UIFont::systemFontOfSize(11)) },
        { Value(NSForegroundColorAttributeName), Value(UIColor::whiteColor()) },
        { Value(NSParagraphStyleAttributeName), Value(paragraph) } });
    CGSize textSize = NSString_Drawing::sizeWithAttributes(*value, attributes);
    CGFloat width = std::max<CGFloat>(textSize.width + 5, 14);
    CGFloat height = std::max<CGFloat>(textSize.height, 14);
    CGRect badge = CGRectMake(size.width - width, 0, width, height);
    if (auto background = UIImage::imageNamed("badge"))
        background->resizableImageWithCapInsets(UIEdgeInsetsMake(0, 7, 0, 7))->drawInRect(badge);
    NSString_Drawing::drawInRect(*value, badge, attributes);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    if (!image)
        return icon;
    return image->imageWithRenderingMode(UIImageRenderingModeAlwaysOriginal);
}
