#pragma once

#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/tests/AppTestSupport.h"
#include "foundation/NSJSONSerialization.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <string>

// A sandbox with the small lookup database, a virtual clock and URL stubs for the detail
// screens' services, all under "http://detail.test/".
class DetailTestScope {
public:
    static constexpr const char* kBase = "http://detail.test/";

    DetailTestScope()
    {
        m_app.installLookupFixture();
        KESTLiveDataManager::setServiceBaseURL(kBase);
        KESTPlaneMarkerManager::setLogoServiceBaseURL(std::nullopt);
    }
    ~DetailTestScope() { drainAll(); }

    AppTestScope& app() { return m_app; }
    ScopedVirtualClock& clock() { return m_clock; }
    URLStubs& stubs() { return m_stubs; }

    // Answers every request whose address starts with kBase + path.
    Ref<URLStub> json(const std::string& path, const std::string& body, double delay = 0)
    {
        URLStubSpec spec;
        spec.url = kBase + path;
        spec.matchPrefix = true;
        spec.headers = { { "Content-Type", "application/json" } };
        spec.body = body;
        spec.delay = delay;
        return m_stubs.add(spec);
    }
    Ref<URLStub> image(const std::string& path, int width = 40, int height = 20)
    {
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), true, 1);
        auto picture = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        Value png = UIImagePNGRepresentation(picture);
        URLStubSpec spec;
        spec.url = kBase + path;
        spec.matchPrefix = true;
        spec.headers = { { "Content-Type", "image/png" } };
        spec.body.assign(png.bytes().begin(), png.bytes().end());
        return m_stubs.add(spec);
    }
    // The paths (after kBase) of every request the stubs saw, in order.
    std::vector<std::string> requestedPaths() const
    {
        std::vector<std::string> paths;
        for (const auto& record : m_stubs.allRequests())
            paths.push_back(record.url.substr(std::string(kBase).size()));
        return paths;
    }

private:
    AppTestScope m_app;
    ScopedVirtualClock m_clock;
    URLStubs m_stubs;
};

// A live plane: type, route, registration, callsign, flight number and data type.
inline Ref<KESTPlane> detailPlane(const std::string& hex, const std::string& type, const std::string& route,
    const std::string& reg, const std::string& callsign, const std::string& fltno, int32_t dataType = 1)
{
    return KESTPlane::initWithAdshexAndInfo(hex,
        Value::array({ Value(type), Value(route), Value(reg), Value(callsign), Value(51.2), Value(-0.9), Value(12000),
            Value(85), Value(420), Value(1388534400.0), Value("7"), Value(dataType), Value(fltno) }));
}

// An 84-field schedule record from LHR to JFK with the given codeshares and passenger classes.
inline std::string scheduleRecordJSON(int codeshares, const std::string& classes)
{
    std::vector<std::string> f(84);
    f[0] = "BA";
    f[1] = "117";
    f[6] = "LHR";
    f[9] = "JFK";
    f[13] = "1405";
    f[14] = "1";
    f[15] = "0810";
    f[16] = "1357";
    f[24] = "J";
    f[25] = "280";
    f[26] = "12";
    f[37] = "BB";
    for (size_t i = 0; i < classes.size() && i < 10; ++i)
        f[27 + i] = std::string(1, classes[i]);
    for (int i = 0; i < codeshares; ++i) {
        f[52 + 2 * i] = "AA";
        f[53 + 2 * i] = std::to_string(6000 + i);
    }
    f[82] = "5";
    f[83] = "8";
    std::string out = "[";
    for (size_t i = 0; i < f.size(); ++i)
        out += (i ? ",\"" : "\"") + f[i] + "\"";
    return out + "]";
}
