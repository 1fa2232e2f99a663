#include "foundation/KeyValueCoding.h"
#include "foundation/NSException.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

namespace {

class Flight : public NSObject {
    VX_OBJECT(Flight, NSObject)

public:
    using NSObject::NSObject;
    static Ref<Flight> init(std::string callsign, Value altitude, Value legs)
    {
        auto f = make<Flight>();
        f->m_callsign = std::move(callsign);
        f->m_altitude = std::move(altitude);
        f->m_legs = std::move(legs);
        return f;
    }

    Value valueForKey(const std::string& key) override
    {
        if (key == "callsign")
            return Value(m_callsign);
        if (key == "altitude")
            return m_altitude;
        if (key == "legs")
            return m_legs;
        return NSObject::valueForKey(key);
    }

    void setValueForKey(const Value& value, const std::string& key) override
    {
        if (key == "callsign")
            m_callsign = value.stringValue();
        else
            NSObject::setValueForKey(value, key);
    }

private:
    std::string m_callsign;
    Value m_altitude;
    Value m_legs;
};

Value dict(std::initializer_list<std::pair<const char*, Value>> entries)
{
    std::vector<std::pair<Value, Value>> list;
    for (const auto& [k, v] : entries)
        list.emplace_back(Value(k), v);
    return Value::dictionary(std::move(list));
}

} // namespace

TEST(KeyValueCoding, PathsAndCollectionOperators)
{
    Value flights = Value::array({
        Value(Flight::init("BAW1", Value(30000), Value::array({ Value("LHR"), Value("JFK") }))),
        Value(Flight::init("DLH2", Value(12000.5), Value::array({ Value("FRA"), Value("LHR") }))),
        Value(Flight::init("BAW1", Value(), Value::array({ Value("JFK") }))),
    });
    Value airports = Value::array({
        dict({ { "code", Value("LHR") }, { "info", dict({ { "runways", Value(2) } }) } }),
        dict({ { "code", Value("JFK") }, { "info", dict({ { "runways", Value(4) } }) } }),
        dict({ { "code", Value("AMS") }, { "info", dict({ { "runways", Value(6) } }) } }),
    });
    Value root = dict({ { "flights", flights }, { "airports", airports } });

    struct Case {
        Value target;
        const char* path;
        Value expected;
    };
    const Case cases[] = {
        { root, "flights.@count", Value(3) },
        { root, "airports.@count.whatever", Value(3) },
        { root, "@count", Value(2) },
        { flights, "callsign", Value::array({ Value("BAW1"), Value("DLH2"), Value("BAW1") }) },
        { flights, "altitude", Value::array({ Value(30000), Value(12000.5), Value::null() }) },
        { flights, "@sum.altitude", Value(42000.5) },
        { flights, "@avg.altitude", Value(21000.25) },
        { flights, "@max.altitude", Value(30000) },
        { flights, "@min.altitude", Value(12000.5) },
        { Value::array(), "@max.altitude", Value() },
        { Value::array(), "@sum.altitude", Value(0) },
        { flights, "@unionOfObjects.altitude", Value::array({ Value(30000), Value(12000.5) }) },
        { flights, "@distinctUnionOfObjects.callsign", Value::array({ Value("BAW1"), Value("DLH2") }) },
        { flights, "legs",
            Value::array({ Value::array({ Value("LHR"), Value("JFK") }), Value::array({ Value("FRA"), Value("LHR") }),
                Value::array({ Value("JFK") }) }) },
        { flights.objectAtIndex(0), "legs.@count", Value(2) },
        { root, "flights.legs.@count", Value(3) },
        { root, "flights.@max.legs.@count", Value(2) },
        { root, "airports.info.runways", Value::array({ Value(2), Value(4), Value(6) }) },
        { airports, "@sum.info.runways", Value(12) },
        { root, "missing.deeper", Value() },
        { root, "self.airports.@count", Value(3) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_TRUE(valueForKeyPathOfValue(c.target, c.path).isEqual(c.expected))
            << valueForKeyPathOfValue(c.target, c.path).description();
    }

    Value legs = valueForKeyPathOfValue(flights, "legs");
    EXPECT_EQ(valueForKeyPathOfValue(legs, "@unionOfArrays.self"),
        Value::array({ Value("LHR"), Value("JFK"), Value("FRA"), Value("LHR"), Value("JFK") }));
    EXPECT_EQ(valueForKeyPathOfValue(legs, "@distinctUnionOfArrays.self"),
        Value::array({ Value("LHR"), Value("JFK"), Value("FRA") }));
    EXPECT_EQ(valueForKeyPathOfValue(flights, "@unionOfArrays.legs").count(), 5u);

    // The same paths through an object's own valueForKeyPath.
    auto flight = flights.objectAtIndex(0).objectValue();
    EXPECT_EQ(flight->valueForKeyPath("legs.@count"), Value(2));
    EXPECT_EQ(flight->valueForKeyPath("class"), Value(Flight::classObject()));
    EXPECT_EQ(flight->valueForKeyPath("self.callsign"), Value("BAW1"));
}

TEST(KeyValueCoding, BadKeysAndOperatorsRaise)
{
    Value flights = Value::array({ Value(Flight::init("A", Value(1), Value())) });
    struct Case {
        Value target;
        const char* path;
        const char* exception;
    };
    const Case cases[] = {
        { flights, "nosuchkey", "NSUnknownKeyException" },
        { flights, "@median.altitude", "NSUnknownKeyException" },
        { flights, "@sum", "NSInvalidArgumentException" },
        { Value("text"), "length", "NSUnknownKeyException" },
        { Value(3), "x.y", "NSUnknownKeyException" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            valueForKeyPathOfValue(c.target, c.path);
            ADD_FAILURE() << "no exception";
        } catch (const NSException& e) {
            EXPECT_EQ(e.name(), c.exception);
        }
    }
}

TEST(KeyValueCoding, SettingThroughPaths)
{
    auto flight = Flight::init("OLD", Value(), Value());
    Value inner = Value::mutableDictionary();
    Value root = Value::mutableDictionary({ { Value("flight"), Value(flight) }, { Value("inner"), inner } });

    setValueForKeyPathOfValue(root, Value("NEW"), "flight.callsign");
    EXPECT_EQ(flight->valueForKey("callsign"), Value("NEW"));
    setValueForKeyPathOfValue(root, Value(7), "inner.count");
    EXPECT_EQ(inner["count"], Value(7));
    setValueForKeyPathOfValue(root, Value(), "inner.count");
    EXPECT_EQ(inner.count(), 0u);
    setValueForKeyPathOfValue(root, Value(1), "absent.deeper"); // a nil step does nothing
    EXPECT_THROW(setValueForKeyPathOfValue(Value::dictionary(), Value(1), "x"), NSException);
    EXPECT_THROW(flight->setValueForKeyPath(Value(1), "altitude"), NSException);
}
