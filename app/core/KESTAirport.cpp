#include "app/core/KESTAirport.h"

#include "foundation/NSBundle.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "graphics/UIImage.h"

namespace {

// A text, nullopt for the list's null; false when the element is neither.
bool readName(const Value& element, std::optional<std::string>& out)
{
    if (element.isString()) {
        out = element.string();
        return true;
    }
    if (element.isNilOrNull()) {
        out = std::nullopt;
        return true;
    }
    return false;
}

} // namespace

KESTAirport::KESTAirport(Passkey key)
    : KESTAnnotation(key)
{
}

Ref<KESTAirport> KESTAirport::initWithData(const Value& entry)
{
    if (!entry.isArray() || entry.count() < 8)
        return nullptr;
    auto airport = make<KESTAirport>();
    if (!readName(entry[0], airport->m_name) || !readName(entry[1], airport->m_city)
        || !readName(entry[2], airport->m_country))
        return nullptr;
    if (!entry[3].isString() || !entry[4].isString() || !entry[5].isNumber() || !entry[6].isNumber()
        || !entry[7].isNumber())
        return nullptr;
    airport->m_iata = entry[3].string();
    airport->m_icao = entry[4].string();
    airport->m_isMajor = entry[7].intValue() != 0;
    KESTLocation position { entry[5].doubleValue(), entry[6].doubleValue() };
    airport->setCoordinate(position);
    airport->setMapPoint(mapPointForCoordinate(position));
    return airport;
}

std::vector<Ref<KESTAirport>> KESTAirport::airportsFromJSONData(const std::string& json)
{
    std::vector<Ref<KESTAirport>> airports;
    Ref<NSError> error;
    Value root = NSJSONSerialization::JSONObjectWithData(json, 0, &error);
    Value list = root.isDictionary() ? root["airports"] : Value();
    if (!list.isArray()) {
        NSLog("Airport list could not be read: no \"airports\" array");
        return airports;
    }
    for (size_t index = 0; index < list.count(); ++index) {
        if (auto airport = initWithData(list[index]))
            airports.push_back(std::move(airport));
        else
            NSLog("Airport list entry %lu skipped: malformed", static_cast<unsigned long>(index));
    }
    return airports;
}

std::vector<Ref<KESTAirport>> KESTAirport::airportsFromBundle()
{
    auto path = NSBundle::mainBundle()->pathForResource("airports", "json");
    Value data = path ? NSData::dataWithContentsOfFile(*path) : Value();
    if (!data.isData()) {
        NSLog("Airport list \"airports.json\" is missing from the bundle");
        return {};
    }
    const auto& bytes = data.bytes();
    return airportsFromJSONData(std::string(bytes.begin(), bytes.end()));
}

std::string KESTAirport::title()
{
    return m_name ? *m_name : NSLocalizedString("Unknown");
}

std::string KESTAirport::subtitle()
{
    if (!m_city || !m_country)
        return NSLocalizedString("Unknown");
    return NSString::stringWithFormat("%@, %@", *m_city, *m_country);
}

Ref<UIImage> KESTAirport::annotationImage()
{
    return UIImage::imageNamed(m_isMajor ? "airportMarkerLarge" : "airportMarkerSmall");
}
