#pragma once

#include "app/core/KESTAnnotation.h"

#include <optional>
#include <string>
#include <vector>

// One airport as the map shows it, made from an entry of the bundled airport list
// ([name, city, country, IATA, ICAO, latitude, longitude, major]). Never changes after
// creation, so any thread may read it.
class KESTAirport : public KESTAnnotation {
    VX_OBJECT(KESTAirport, KESTAnnotation)
public:
    explicit KESTAirport(Passkey);

    // Nullptr for an entry that is not an array of eight elements with texts (or nulls for the
    // three names) first, texts for the codes and numbers for the position and the major flag.
    static Ref<KESTAirport> initWithData(const Value& entry);
    // The bundle's resource "airports" of type "json", in list order. A missing or unreadable
    // list gives no airports and a log line; malformed entries are left out with a log line.
    static std::vector<Ref<KESTAirport>> airportsFromBundle();
    static std::vector<Ref<KESTAirport>> airportsFromJSONData(const std::string& json);

    // The name, or the localized "Unknown".
    std::string title() override;
    // "city, country", or the localized "Unknown" when either is missing.
    std::string subtitle() override;
    // "airportMarkerLarge" for a major airport, else "airportMarkerSmall".
    Ref<UIImage> annotationImage() override;

    bool isMajor() const { return m_isMajor; }
    void setIsMajor(bool v) { m_isMajor = v; }
    const std::optional<std::string>& name() const { return m_name; }
    void setName(std::optional<std::string> v) { m_name = std::move(v); }
    const std::optional<std::string>& city() const { return m_city; }
    void setCity(std::optional<std::string> v) { m_city = std::move(v); }
    const std::optional<std::string>& country() const { return m_country; }
    void setCountry(std::optional<std::string> v) { m_country = std::move(v); }
    const std::string& iata() const { return m_iata; }
    void setIata(std::string v) { m_iata = std::move(v); }
    const std::string& icao() const { return m_icao; }
    void setIcao(std::string v) { m_icao = std::move(v); }

private:
    bool m_isMajor { false };
    std::optional<std::string> m_name;
    std::optional<std::string> m_city;
    std::optional<std::string> m_country;
    std::string m_iata;
    std::string m_icao;
};
