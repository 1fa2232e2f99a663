#include "app/core/KESTPlaneMarkerManager.h"

#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTURLEscaping.h"
#include "foundation/Locked.h"
#include "foundation/NSCache.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/ThreadChecks.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageResponseSerializer.h"

#include <string_view>
#include <utility>
#include <vector>

namespace {

std::mutex s_sharedLock;
Ref<KESTPlaneMarkerManager> s_shared;
Locked<std::optional<std::string>> s_logoBaseURL;

struct FamilyGroup {
    const char* family;
    std::vector<std::string_view> keys;
};

// Three-character type prefixes.
const std::vector<FamilyGroup>& partialGroups()
{
    static const std::vector<FamilyGroup> groups {
        { "PRIVATEJET",
            { "C52", "C55", "GLF", "CL6", "C60", "C25", "LJ2", "LJ3", "LJ4", "LJ5", "LJ6", "LJ8", "H25", "EA5", "C50",
                "E13", "E14", "C56", "BE4", "C65", "WW2" } },
        { "TWINPROP",
            { "AT7", "BE5", "E11", "E12", "C40", "C32", "BE9", "BE8", "CVL", "AT4", "BE6", "C41", "C42", "AC9",
                "AC5" } },
        { "SINGLEPROP", { "C18", "RV1", "SR2", "JAB", "P28", "C20", "LNC", "PTS", "C15", "M20" } },
        { "B737", { "B73", "E17", "E19", "MD8", "MD1", "YK4", "BER" } },
        { "EUROCOPTER", { "EC5", "EC3", "AS5", "AS6" } },
        { "GLIDER", { "AS2", "HB2", "HB3" } },
        { "B747", { "B74" } },
        { "B757", { "B75" } },
        { "B767", { "B76" } },
        { "B777", { "B77" } },
        { "B787", { "B78" } },
        { "A300", { "A30" } },
        { "A320", { "A31" } },
        { "A321", { "A32" } },
        { "A330", { "A33" } },
        { "A340", { "A34" } },
        { "A350", { "A35" } },
        { "A380", { "A38" } },
        { "FOKKER100", { "CRJ" } },
    };
    return groups;
}

// Whole type designators. "GA7" appears twice; the later pair (SINGLEPROP) wins, as it would
// in a dictionary filled in this order.
const std::vector<FamilyGroup>& fullGroups()
{
    static const std::vector<FamilyGroup> groups {
        { "TWINPROP",
            { "AEST", "PA31", "PA34", "PA23", "BE20", "PAY1", "F50", "SH36", "SH33", "D228", "D328", "BE99", "C340",
                "B350", "DH8A", "DH8B", "DH8C", "DH8D", "P68", "AN26", "P68T", "SF34", "SB20", "BE10", "ATP", "PA44",
                "P34A", "PA60", "BE30", "G44", "DHC6", "DHC7", "DHC3", "DA42", "PA39", "BE76", "C303", "G159", "TBEE",
                "PA27", "B190", "SW2", "SW3", "SW4", "JS31", "JS41", "JS32", "P38", "C310", "C441", "C337", "MU2",
                "DC3", "DC3T", "DC6", "C21T", "C335", "GA7", "P180" } },
        { "SINGLEPROP",
            { "BE33", "PA30", "PA32", "PA24", "PA22", "PA25", "PA28", "C77R", "KODI", "MO20", "S208", "PC21", "BE23",
                "BE24", "PC12", "MCR4", "PA11", "BE36", "GC1", "FDCT", "AA5", "CH70", "C195", "DH82", "DH83", "DH85",
                "DH86", "DH87", "DH88", "P27", "BE19", "BE17", "KR2", "PA18", "GY20", "FU24", "PA38", "PA40", "PA46",
                "J1", "SYMP", "RV3", "RV4", "RV6", "RV7", "RV8", "EVOL", "TBM7", "MJ5", "C82R", "FBA2", "ST75", "T18",
                "DHC1", "DHC2", "DH3T", "DH2T", "LGEZ", "COOT", "O1", "GLAS", "JUNR", "C177", "C172", "C175", "C170",
                "CJ1", "STST", "CH7A", "CH7B", "D11", "M5", "TOUR", "GP4", "ERCO", "PL2", "PUP", "C10T", "G58", "G115",
                "DRIF", "E300", "Z42", "BE77", "M7", "TBM8", "DA20", "DV20", "PIVI", "C210", "AC11", "NAVI", "P32R",
                "P32T", "BE35", "TVLB", "DA40", "EVSS", "P210", "GA7", "P46T", "CH2T", "COL3", "COL4", "AAT4", "SREY",
                "CB1", "HROC", "C160", "C162", "CRES", "SA3", "T28", "TRIN", "WT9", "WACF", "SE5R" } },
        { "PRIVATEJET",
            { "F9EX", "C680", "LRJ", "MU30", "FA7X", "FA5X", "CL30", "GLEX", "E55P", "E50P", "F2TH", "C510", "E45X",
                "FA50", "GALX", "GL5T", "G250", "G280", "HA4T", "C750", "GLAX", "PRM1", "SBR1", "SBR2", "DC93", "MD90",
                "DC95", "FA10", "FA20", "FA30", "FA40", "G150", "G200", "ASTR" } },
        { "EUROCOPTER",
            { "S92", "S72", "S76", "A139", "A149", "AS32", "AS3B", "EC25", "EC45", "EC20", "MD52", "S61", "H269",
                "A189", "A169", "B609", "B06", "EH10", "GYRO", "R44", "UH1", "UH12", "B407", "H500", "B412", "B427",
                "B429", "B430", "A109", "R22", "R66", "S58T" } },
        { "GLIDER",
            { "AS31", "AV68", "DG1T", "DG40", "DG50", "DG80", "DIMO", "DISC", "DUOD", "G103", "G109", "JANU", "KIWI",
                "LK17", "LS10", "LS8", "NIMB", "RF5", "S10S", "SF25", "GLID", "ULAC", "VENT" } },
        { "VEHICLE",
            { "LEADER1", "LEADER2", "LEADER3", "LEADER4", "LEADER5", "LEADER6", "LEADER7", "LEADER8", "LEADER9",
                "LEADER", "SERVICE", "ZVEH" } },
        { "B737", { "A148", "A158", "CS1", "CS3", "DC10", "J328", "SU95" } },
        { "TRIANGLE", { "RADA", "GRND", "BALL", "SHIP", "VELO" } },
        { "A340", { "IL96", "IL86", "E6", "A124", "K35R" } },
        { "FOKKER100", { "F70", "F100", "F900", "B712", "T154" } },
        { "RJ100", { "RJ85", "RJ70", "RJ1H", "C130" } },
        { "A380", { "C17", "IL76" } },
        { "B757", { "T204", "T214" } },
        { "A320", { "A3ST" } },
        { "B747", { "BLCF" } },
    };
    return groups;
}

Value buildTable(const std::vector<FamilyGroup>& groups)
{
    Value table = Value::mutableDictionary();
    for (const auto& group : groups) {
        for (auto key : group.keys)
            table.setObjectForKey(Value(group.family), Value(std::string(key)));
    }
    return table.copy();
}

} // namespace

KESTPlaneMarkerManager::KESTPlaneMarkerManager(Passkey key)
    : NSObject(key)
    , m_cache(NSCache::init())
{
}

Ref<KESTPlaneMarkerManager> KESTPlaneMarkerManager::init()
{
    return make<KESTPlaneMarkerManager>();
}

Ref<KESTPlaneMarkerManager> KESTPlaneMarkerManager::sharedInstance()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_shared)
        s_shared = init();
    return s_shared;
}

void KESTPlaneMarkerManager::resetSharedInstanceForTesting()
{
    std::lock_guard guard(s_sharedLock);
    s_shared = nullptr;
}

std::string KESTPlaneMarkerManager::logoServiceBaseURL()
{
    if (auto base = s_logoBaseURL.get())
        return *base;
    return KESTLiveDataManager::serviceBaseURL();
}

void KESTPlaneMarkerManager::setLogoServiceBaseURL(std::optional<std::string> base)
{
    s_logoBaseURL.set(std::move(base));
}

std::string KESTPlaneMarkerManager::imageNameFor(
    const std::string& family, int32_t rotation, const std::optional<std::string>& colour)
{
    auto written = static_cast<long>(rotation == 0 ? 360 : rotation);
    if (colour)
        return NSString::stringWithFormat("%@_%@_%li.png", family, *colour, written);
    return NSString::stringWithFormat("%@_%li.png", family, written);
}

Ref<UIImage> KESTPlaneMarkerManager::rotatedImageNamedRotationColour(
    const std::string& family, int32_t rotation, const std::optional<std::string>& colour)
{
    assertIsMainThread();
    std::string name = imageNameFor(family, rotation, colour);
    Value key(name);
    if (auto cached = m_cache->objectForKey(key).objectAs<UIImage>())
        return cached;
    auto image = UIImage::imageNamed(name);
    if (image)
        m_cache->setObjectForKey(Value(image), key);
    return image;
}

Ref<UIImage> KESTPlaneMarkerManager::fetchAirlineImageOnRemoteFetchCompletion(
    const std::string& airlineCode, std::function<void()> completion)
{
    assertIsMainThread();
    Value key(airlineCode);
    if (auto cached = m_cache->objectForKey(key).objectAs<UIImage>())
        return cached;
    if (auto waiting = m_logoWaiters.find(airlineCode); waiting != m_logoWaiters.end()) {
        if (completion)
            waiting->second.push_back(std::move(completion));
        return nullptr;
    }

    std::string code = KESTURLEscaping::escapedValue(airlineCode);
    std::string address
        = logoServiceBaseURL() + NSString::stringWithFormat("v1/getLogo.php?airlineCode=%@&requestThumb=1", code);
    auto url = NSURL::URLWithString(address);
    if (!url) {
        NSLog("Invalid logo address %@", address);
        return nullptr;
    }
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
    operation->setResponseSerializer(VNImageResponseSerializer::serializer());
    auto& waiters = m_logoWaiters[airlineCode];
    if (completion)
        waiters.push_back(std::move(completion));
    Weak<KESTPlaneMarkerManager> weak = self<KESTPlaneMarkerManager>();
    operation->setCompletionBlockWithSuccessFailure(
        [weak, key, airlineCode](const Ref<VNHTTPRequestOperation>& op, const Value& response) {
            auto manager = weak.lock();
            if (!manager)
                return;
            auto completions = manager->logoRequestFinished(op, airlineCode);
            auto image = response.objectAs<UIImage>();
            if (!image)
                return;
            manager->m_cache->setObjectForKey(Value(image), key);
            for (const auto& completion : completions)
                completion();
        },
        [weak, airlineCode](const Ref<VNHTTPRequestOperation>& op, const Ref<NSError>&) {
            if (auto manager = weak.lock())
                manager->logoRequestFinished(op, airlineCode);
        });
    {
        std::lock_guard guard(m_lock);
        m_logoOperations.insert(operation);
    }
    operation->start();
    return nullptr;
}

std::vector<std::function<void()>> KESTPlaneMarkerManager::logoRequestFinished(
    const Ref<VNHTTPRequestOperation>& operation, const std::string& airlineCode)
{
    assertIsMainThread();
    {
        std::lock_guard guard(m_lock);
        m_logoOperations.erase(operation);
    }
    std::vector<std::function<void()>> completions;
    if (auto waiting = m_logoWaiters.find(airlineCode); waiting != m_logoWaiters.end()) {
        completions = std::move(waiting->second);
        m_logoWaiters.erase(waiting);
    }
    return completions;
}

Value KESTPlaneMarkerManager::partialLookupDict()
{
    std::lock_guard guard(m_lock);
    if (m_partialLookupDict.isNil())
        m_partialLookupDict = buildTable(partialGroups());
    return m_partialLookupDict;
}

void KESTPlaneMarkerManager::setPartialLookupDict(Value dict)
{
    std::lock_guard guard(m_lock);
    m_partialLookupDict = dict.copy();
}

Value KESTPlaneMarkerManager::fullLookupDict()
{
    std::lock_guard guard(m_lock);
    if (m_fullLookupDict.isNil())
        m_fullLookupDict = buildTable(fullGroups());
    return m_fullLookupDict;
}

void KESTPlaneMarkerManager::setFullLookupDict(Value dict)
{
    std::lock_guard guard(m_lock);
    m_fullLookupDict = dict.copy();
}

std::optional<std::string> KESTPlaneMarkerManager::fullLookupFamily(const std::string& typeDesignator)
{
    Value family = fullLookupDict().objectForKey(Value(typeDesignator));
    if (!family.isString())
        return std::nullopt;
    return family.string();
}

std::optional<std::string> KESTPlaneMarkerManager::partialLookupFamily(const std::string& prefix)
{
    Value family = partialLookupDict().objectForKey(Value(prefix));
    if (!family.isString())
        return std::nullopt;
    return family.string();
}

void KESTPlaneMarkerManager::invalidateCache()
{
    m_cache->removeAllObjects();
}
