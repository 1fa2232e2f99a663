#pragma once

#include "app/core/KESTAnnotation.h"
#include "graphics/CGGeometry.h"

#include <mutex>
#include <optional>
#include <string>

// One live aircraft: the record the live feed creates and refreshes from the service's
// 13-field plane info array, and the annotation the map shows. It estimates where the plane is
// now (dead reckoning along the reported track on the WGS-84 ellipsoid), keeps a copy of that
// position readable from any thread, chooses its marker image and draws its label.
//
// Threads: the live feed's serial queue creates and refreshes planes; the main thread and
// background map work read them. The 13 fields sit behind one small lock and every getter
// copies out, so a reader never sees a torn text. `coordinate` is written on the main thread.
class KESTPlane : public KESTAnnotation {
    VX_OBJECT(KESTPlane, KESTAnnotation)
public:
    // The 13 fields of a plane info array, converted as the plane keeps them.
    struct Fields {
        std::string type, route, reg, callsign, squawk, fltno;
        double lat { 0 }, lon { 0 }, altitude { 0 }, heading { 0 }, speed { 0 }, mtime { 0 };
        int32_t dataType { 0 };
        bool operator==(const Fields&) const = default;
    };

    explicit KESTPlane(Passkey);

    // True when the array has 13 fields of the kinds the plane reads: texts at 0-3, 10 and 12,
    // numbers at 4-9 and 11.
    static bool isValidInfo(const Value& info);

    // Nullptr for an info array that is not valid.
    static Ref<KESTPlane> initWithAdshexAndInfo(const std::string& adshex, const Value& info);
    static Ref<KESTPlane> initWithAdshexAndFields(const std::string& adshex, Fields fields);
    // The fields of a valid info array; nullopt for one that is not valid.
    static std::optional<Fields> fieldsFromInfo(const Value& info);
    // A snapshot: the 13 fields and freshly computed positions, no hex address, no cached
    // operator code, no search codeshare.
    Ref<KESTPlane> copy() const;

    // Copies the 13 fields; an array that is not valid changes nothing.
    void updateInfo(const Value& info) override;
    // Copies the fields into the plane's own, reusing its strings.
    void updateFields(const Fields& fields);
    // Starts loading what updateFields writes, for a caller about to update many planes in turn:
    // the loads then overlap instead of each update waiting for its own.
    void prefetchForUpdate() const
    {
        __builtin_prefetch(&m_lock, 1);
        for (size_t offset = 0; offset < sizeof(Fields); offset += 64)
            __builtin_prefetch(reinterpret_cast<const char*>(&m_fields) + offset, 1);
    }
    void updateLocation(bool immediately) override;
    bool requiresRedraw() override;
    Ref<UIImage> annotationImage() override;

    KESTLocation estimateCoordWithClamping(bool clamping) const;

    std::string title() override;
    std::string subtitle() override;
    void updateTitleAndSubtitle();
    void updateFlightPath();
    std::optional<std::string> airlineICAO();
    std::string paddedSquawk() const;
    int32_t clampedHeading() const;
    // [family, colour letter, clampedHeading].
    Value annotationData() const;
    // Content: a text, an image (as an object) or nil; draws into the current context.
    void drawLabelWithContentInRect(const Value& content, CGRect rect) const;

    int32_t lastRenderedHeading() const;
    std::string adshex() const;
    void setAdshex(std::string v);
    std::string reg() const;
    void setReg(std::string v);
    std::string fltno() const;
    void setFltno(std::string v);
    std::string type() const;
    void setType(std::string v);
    std::string route() const;
    void setRoute(std::string v);
    std::string squawk() const;
    void setSquawk(std::string v);
    std::string callsign() const;
    void setCallsign(std::string v);
    std::optional<std::string> searchCodeshare() const;
    void setSearchCodeshare(std::optional<std::string> v);
    int32_t dataType() const;
    void setDataType(int32_t v);
    double lat() const;
    void setLat(double v);
    double lon() const;
    void setLon(double v);
    double altitude() const;
    void setAltitude(double v);
    double heading() const;
    void setHeading(double v);
    double speed() const;
    void setSpeed(double v);
    double mtime() const;
    void setMtime(double v);
    KESTLocation threadedCoordinate() const;
    void setThreadedCoordinate(const KESTLocation& v);

    Fields fields() const;
    // Calls `reader` with the plane's fields under its lock and answers what it answers: one
    // lock and no copy for a reader of several fields, such as a filter run over every plane.
    // `reader` must not call back into the plane.
    template <typename Reader> decltype(auto) withFields(Reader&& reader) const
    {
        std::lock_guard guard(m_lock);
        return reader(static_cast<const Fields&>(m_fields));
    }

    // Key-value reads of the fields that predicates over planes name (the saved filters and
    // searches): the texts adshex, reg, fltno, type, route, squawk, callsign and the numbers
    // lat, lon, altitude, heading, speed, mtime, dataType. Any thread.
    Value valueForKey(const std::string& key) override;

private:
    Value infoArray() const;

    mutable std::mutex m_lock;
    int32_t m_lastRenderedHeading { -999 };
    std::string m_adshex;
    Fields m_fields;
    std::optional<std::string> m_airlineICAO;
    std::string m_title;
    std::string m_subtitle;
    std::optional<std::string> m_searchCodeshare;
    KESTLocation m_threadedCoordinate;
};
