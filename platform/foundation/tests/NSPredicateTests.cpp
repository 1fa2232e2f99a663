#include "foundation/Dispatch.h"
#include "foundation/NSException.h"
#include "foundation/NSObject.h"
#include "foundation/NSPredicate.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <functional>

namespace {

class Annotation : public NSObject {
    VX_OBJECT(Annotation, NSObject)

public:
    using NSObject::NSObject;
    static Ref<Annotation> init() { return make<Annotation>(); }
    Value valueForKey(const std::string& key) override
    {
        if (key == "addedAsAnnotation")
            return Value(m_added);
        return NSObject::valueForKey(key);
    }
    bool m_added { false };
};

class Plane : public Annotation {
    VX_OBJECT(Plane, Annotation)

public:
    using Annotation::Annotation;
    static Ref<Plane> init() { return make<Plane>(); }
};

class Airport : public Annotation {
    VX_OBJECT(Airport, Annotation)

public:
    using Annotation::Annotation;
    static Ref<Airport> init() { return make<Airport>(); }
};

// An object answering a text and a number by key, as the live planes do.
class Flight : public NSObject {
    VX_OBJECT(Flight, NSObject)

public:
    using NSObject::NSObject;
    static Ref<Flight> init() { return make<Flight>(); }
    Value valueForKey(const std::string& key) override
    {
        if (key == "fltno")
            return Value("EZY42");
        if (key == "speed")
            return Value(420.0);
        return NSObject::valueForKey(key);
    }
};

Value dict(std::initializer_list<std::pair<const char*, Value>> entries)
{
    std::vector<std::pair<Value, Value>> list;
    for (const auto& [k, v] : entries)
        list.emplace_back(Value(k), v);
    return Value::dictionary(std::move(list));
}

const char* const kEmailPattern
    = R"((?:[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+(?:\.[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+)*|"(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21\x23-\x5b\x5d-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])*")@(?:(?:[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\.)+[a-z0-9](?:[a-z0-9-]*[a-z0-9])?|\[(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\.){3}(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?|[a-z0-9-]*[a-z0-9]:(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21-\x5a\x53-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])+)\]))";

struct Case {
    const char* name;
    std::function<Ref<NSPredicate>()> make;
    Value object;
    bool expected;
};

void runCases(const std::vector<Case>& cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            auto predicate = c.make();
            EXPECT_EQ(predicate->evaluateWithObject(c.object), c.expected) << predicate->predicateFormat();
            // The printed form parses back to a predicate with the same meaning and text.
            auto again = NSPredicate::predicateWithFormat(predicate->predicateFormat());
            EXPECT_EQ(again->predicateFormat(), predicate->predicateFormat());
            EXPECT_EQ(again->evaluateWithObject(c.object), c.expected) << again->predicateFormat();
        } catch (const NSException& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

} // namespace

TEST(NSPredicate, EvaluatesComparisonsOnDictionaries)
{
    using P = NSPredicate;
    Value plane = dict({ { "adshex", Value("4CA2B1") }, { "fltno", Value("BA117") }, { "callsign", Value("BAW117") },
        { "type", Value("A388") }, { "route", Value("LHR-JFK") }, { "altitude", Value(35000.0) },
        { "speed", Value(480) }, { "name", Value("Zürich Élan") }, { "filterActive", Value(true) },
        { "tags", Value::array({ Value("heavy"), Value("vip") }) }, { "lat", Value(51.47) }, { "lon", Value(-0.45) } });
    std::vector<Case> cases = {
        { "equal with %@", [] { return P::predicateWithFormat("adshex = %@", "4CA2B1"); }, plane, true },
        { "equal with a std::string %@", [] { return P::predicateWithFormat("adshex = %@", std::string("4CA2B1")); },
            plane, true },
        { "equal with a UTF-16 %@", [] { return P::predicateWithFormat("adshex = %@", std::u16string(u"4CA2B1")); },
            plane, true },
        { "equal is case-sensitive", [] { return P::predicateWithFormat("adshex == '4ca2b1'"); }, plane, false },
        { "equal [c]", [] { return P::predicateWithFormat("adshex ==[c] '4ca2b1'"); }, plane, true },
        { "not equal <>", [] { return P::predicateWithFormat("type <> 'B744'"); }, plane, true },
        { "boolean YES in parentheses", [] { return P::predicateWithFormat("(filterActive = YES)"); }, plane, true },
        { "number ordering", [] { return P::predicateWithFormat("altitude > %f AND altitude < %f", 0.0, 60000.0); },
            plane, true },
        { "integer against double", [] { return P::predicateWithFormat("speed >= %d", 480); }, plane, true },
        { "=< and =>", [] { return P::predicateWithFormat("speed =< 480 && speed => 480"); }, plane, true },
        { "contains[c]", [] { return P::predicateWithFormat("callsign contains[c] 'baw'"); }, plane, true },
        { "beginswith / endswith",
            [] { return P::predicateWithFormat("route BEGINSWITH 'LHR-' AND route ENDSWITH '-JFK'"); }, plane, true },
        { "contains[d] folds accents", [] { return P::predicateWithFormat("name CONTAINS[d] 'zurich'"); }, plane,
            false },
        { "contains[cd] folds both", [] { return P::predicateWithFormat("name CONTAINS[cd] 'ZURICH elan'"); }, plane,
            true },
        { "like", [] { return P::predicateWithFormat("route LIKE 'L?R-*'"); }, plane, true },
        { "like whole string", [] { return P::predicateWithFormat("route LIKE 'LHR'"); }, plane, false },
        { "matches whole string", [] { return P::predicateWithFormat("route MATCHES 'LHR'"); }, plane, false },
        { "matches[c]", [] { return P::predicateWithFormat("route MATCHES[c] '[a-z]{3}-jfk'"); }, plane, true },
        { "in list", [] { return P::predicateWithFormat("type IN {'B744', 'A388'}"); }, plane, true },
        { "in %@ array",
            [] {
                return P::predicateWithFormat("speed IN %@", Value::array({ Value(1), Value(480) }));
            },
            plane, true },
        { "in string", [] { return P::predicateWithFormat("'JFK' IN route"); }, plane, true },
        { "array contains", [] { return P::predicateWithFormat("tags CONTAINS 'vip'"); }, plane, true },
        { "between lists",
            [] { return P::predicateWithFormat("lat BETWEEN {%f,%f} AND lon BETWEEN {%f,%f}", 51.0, 52.0, -1.0, 0.0); },
            plane, true },
        { "between %@ pairs",
            [] {
                return P::predicateWithFormat("lat BETWEEN %@ AND lon BETWEEN %@",
                    Value::array({ Value(51.47), Value(52.0) }), Value::array({ Value(-1.0), Value(-0.5) }));
            },
            plane, false },
        { "%K substitution", [] { return P::predicateWithFormat("%K == %@", "type", "A388"); }, plane, true },
        { "AND binds tighter than OR",
            [] { return P::predicateWithFormat("type == 'B744' AND speed > 0 OR callsign == 'BAW117'"); }, plane,
            true },
        { "parentheses override",
            [] { return P::predicateWithFormat("type == 'B744' AND (speed > 0 OR callsign == 'BAW117')"); }, plane,
            false },
        { "not and !", [] { return P::predicateWithFormat("NOT type == 'B744' AND !(speed < 100)"); }, plane, true },
        { "nested contains[c]",
            [] {
                return P::predicateWithFormat(
                    "fltno contains[c] 'ba' AND (type contains[c] 'x' OR route contains[c] 'jfk')");
            },
            plane, true },
        { "true predicate", [] { return P::predicateWithFormat("TRUEPREDICATE"); }, plane, true },
        { "false predicate", [] { return P::predicateWithFormat("FALSEPREDICATE OR FALSEPREDICATE"); }, plane, false },
        { "ids or uuid", [] { return P::predicateWithFormat("alertID==%@ OR alertuuid==%@", 42, "u-1"); },
            dict({ { "alertID", Value(7) }, { "alertuuid", Value("u-1") } }), true },
        { "escaped quote", [] { return P::predicateWithFormat(R"(note == 'it\'s' AND other == "say \"hi\"")"); },
            dict({ { "note", Value("it's") }, { "other", Value("say \"hi\"") } }), true },
        { "reserved word escaped", [] { return P::predicateWithFormat("#IN == 1"); }, dict({ { "IN", Value(1) } }),
            true },
        { "collection operator", [] { return P::predicateWithFormat("tags.@count == 2"); }, plane, true },
        { "any", [] { return P::predicateWithFormat("ANY tags BEGINSWITH[c] 'H'"); }, plane, true },
        { "all", [] { return P::predicateWithFormat("ALL tags.length > 2"); }, dict({ { "tags", Value::array() } }),
            true },
        { "none", [] { return P::predicateWithFormat("NONE tags == 'vip'"); }, plane, false },
        { "self with string", [] { return P::predicateWithFormat("self ENDSWITH %@", "ab"); }, Value("cab"), true },
        { "email pattern accepts", [] { return P::predicateWithFormat("self MATCHES[c] %@", kEmailPattern); },
            Value("Pilot.One+tag@Example.co.uk"), true },
        { "email pattern rejects", [] { return P::predicateWithFormat("SELF MATCHES[c] %@", kEmailPattern); },
            Value("pilot@@example"), false },
        { "email pattern whole string", [] { return P::predicateWithFormat("SELF MATCHES[c] %@", kEmailPattern); },
            Value("x a@b.c"), false },
    };
    runCases(cases);
}

// String operators with and without [c]/[d] over ASCII and non-ASCII texts, the constant on
// either side, and keys read from dictionaries, objects and the value itself.
TEST(NSPredicate, StringOperatorsFoldTextsOfAnyScript)
{
    using P = NSPredicate;
    auto flight = Flight::init();
    Value flightValue(flight);
    Value plane = dict({ { "fltno", Value("BA117") }, { "callsign", Value("BAW117") }, { "street", Value("STRASSE") },
        { "unit", Value("\u212AILO") }, { "name", Value("Z\u00FCrich \u00C9lan") }, { "empty", Value("") },
        { "speed", Value(480) } });
    std::vector<Case> cases = {
        { "contains[c] ASCII", [] { return P::predicateWithFormat("callsign contains[c] 'baw'"); }, plane, true },
        { "contains is case-sensitive", [] { return P::predicateWithFormat("callsign contains 'baw'"); }, plane,
            false },
        { "contains exact", [] { return P::predicateWithFormat("callsign contains 'AW1'"); }, plane, true },
        { "contains[c] misses", [] { return P::predicateWithFormat("callsign contains[c] 'dlh'"); }, plane, false },
        { "contains[c] longer than text", [] { return P::predicateWithFormat("fltno contains[c] 'ba1170'"); }, plane,
            false },
        { "contains[c] empty constant", [] { return P::predicateWithFormat("callsign contains[c] ''"); }, plane,
            false },
        { "contains empty text", [] { return P::predicateWithFormat("empty contains ''"); }, plane, false },
        { "contains[c] sharp s folds to ss", [] { return P::predicateWithFormat("street contains[c] %@", "\u00DF"); },
            plane, true },
        { "contains sharp s without [c]", [] { return P::predicateWithFormat("street contains %@", "\u00DF"); }, plane,
            false },
        { "contains[c] Kelvin sign in the text", [] { return P::predicateWithFormat("unit contains[c] 'kilo'"); },
            plane, true },
        { "contains[c] Kelvin sign in the constant",
            [] { return P::predicateWithFormat("callsign contains[c] %@", "\u212A"); },
            dict({ { "callsign", Value("kLM1") } }), true },
        { "contains[d] keeps case", [] { return P::predicateWithFormat("name contains[d] 'zurich'"); }, plane, false },
        { "contains[d]", [] { return P::predicateWithFormat("name contains[d] 'Zurich E'"); }, plane, true },
        { "contains[cd]", [] { return P::predicateWithFormat("name contains[cd] 'ZURICH elan'"); }, plane, true },
        { "contains[cd] accented constant", [] { return P::predicateWithFormat("fltno contains[cd] %@", "b\u00C1"); },
            plane, true },
        { "beginswith[c]", [] { return P::predicateWithFormat("callsign beginswith[c] 'baw'"); }, plane, true },
        { "beginswith[c] empty", [] { return P::predicateWithFormat("callsign beginswith[c] ''"); }, plane, true },
        { "beginswith[c] longer", [] { return P::predicateWithFormat("fltno beginswith[c] 'ba1170'"); }, plane, false },
        { "endswith[c]", [] { return P::predicateWithFormat("fltno endswith[c] 'A117'"); }, plane, true },
        { "endswith[cd]", [] { return P::predicateWithFormat("name endswith[cd] 'ELAN'"); }, plane, true },
        { "endswith without [c]", [] { return P::predicateWithFormat("fltno endswith 'a117'"); }, plane, false },
        { "==[c]", [] { return P::predicateWithFormat("callsign ==[c] 'baw117'"); }, plane, true },
        { "!=[c]", [] { return P::predicateWithFormat("callsign !=[c] 'baw117'"); }, plane, false },
        { "==[c] sharp s", [] { return P::predicateWithFormat("street ==[c] %@", "stra\u00DFe"); }, plane, true },
        { "==[cd]", [] { return P::predicateWithFormat("name ==[cd] 'zurich elan'"); }, plane, true },
        { "<[c]", [] { return P::predicateWithFormat("callsign <[c] 'bax'"); }, plane, true },
        { ">=[c]", [] { return P::predicateWithFormat("callsign >=[c] 'BAW117'"); }, plane, true },
        { "like[c]", [] { return P::predicateWithFormat("callsign like[c] 'b?w*'"); }, plane, true },
        { "like[cd]", [] { return P::predicateWithFormat("name like[cd] 'zu*ELAN'"); }, plane, true },
        { "in[c] list", [] { return P::predicateWithFormat("fltno IN[c] {'x', 'ba117'}"); }, plane, true },
        { "in[c] string", [] { return P::predicateWithFormat("'baw' IN[c] callsign"); }, plane, true },
        { "constant on the left", [] { return P::predicateWithFormat("'BAW117' contains[c] fltno"); }, plane, false },
        { "key against key", [] { return P::predicateWithFormat("callsign contains[c] fltno"); },
            dict({ { "fltno", Value("aw1") }, { "callsign", Value("BAW117") } }), true },
        { "self", [] { return P::predicateWithFormat("SELF contains[c] 'aw'"); }, Value("BAW1"), true },
        { "object keys", [] { return P::predicateWithFormat("fltno contains[c] 'ezy' AND speed > 300"); }, flightValue,
            true },
        { "object keys miss", [] { return P::predicateWithFormat("fltno contains[c] 'baw' OR speed < 300"); },
            flightValue, false },
        { "count of a dictionary", [] { return P::predicateWithFormat("@count == 7"); }, plane, true },
        { "missing key", [] { return P::predicateWithFormat("gate contains[c] 'a'"); }, plane, false },
    };
    runCases(cases);

    // A string operator on something that is not a string raises, whether or not it folds.
    for (const char* format : { "speed contains[c] '4'", "speed beginswith '4'", "speed endswith[cd] '0'" }) {
        SCOPED_TRACE(format);
        EXPECT_THROW(P::predicateWithFormat(format)->evaluateWithObject(plane), NSException);
    }
}

// One predicate evaluated on several threads at once gives each thread the answers it gives
// one thread (run under the thread sanitizer, this also shows the evaluation shares nothing
// it writes).
TEST(NSPredicate, EvaluatesOnManyThreadsAtOnce)
{
    auto predicate = NSPredicate::predicateWithFormat(
        "(fltno contains[c] 'baw' OR callsign MATCHES[c] 'dlh.*') AND speed > 100 AND name ==[cd] 'zurich'");
    std::vector<Value> objects;
    for (int i = 0; i < 64; ++i) {
        objects.push_back(
            dict({ { "fltno", Value(i % 3 ? "BA1" : "BAW1") }, { "callsign", Value(i % 2 ? "DLH4" : "X") },
                { "speed", Value(i * 10) }, { "name", Value(i % 5 ? "Z\u00FCrich" : "Bern") } }));
    }
    std::vector<bool> expected;
    for (const auto& object : objects)
        expected.push_back(predicate->evaluateWithObject(object));
    std::vector<int> mismatches(8, 0);
    dispatch_apply(mismatches.size(), dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&](size_t t) {
        for (int round = 0; round < 50; ++round) {
            for (size_t i = 0; i < objects.size(); ++i)
                mismatches[t] += predicate->evaluateWithObject(objects[i]) != expected[i];
        }
    });
    for (size_t t = 0; t < mismatches.size(); ++t)
        EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

TEST(NSPredicate, NilNeverEqualsZeroOrNo)
{
    using P = NSPredicate;
    Value none = dict({ { "other", Value(1) } });
    Value null = dict({ { "flag", Value::null() } });
    Value zero = dict({ { "flag", Value(0) } });
    std::vector<Case> cases = {
        { "nil == 0", [] { return P::predicateWithFormat("flag == 0"); }, none, false },
        { "nil == NO", [] { return P::predicateWithFormat("flag == NO"); }, none, false },
        { "NSNull == NO", [] { return P::predicateWithFormat("flag == NO"); }, null, false },
        { "nil == nil", [] { return P::predicateWithFormat("flag == nil"); }, none, true },
        { "NSNull == NULL", [] { return P::predicateWithFormat("flag == NULL"); }, null, true },
        { "nil != 0", [] { return P::predicateWithFormat("flag != 0"); }, none, true },
        { "nil < 1", [] { return P::predicateWithFormat("flag < 1"); }, none, false },
        { "nil >= 0", [] { return P::predicateWithFormat("flag >= 0"); }, none, false },
        { "nil contains", [] { return P::predicateWithFormat("flag CONTAINS 'a'"); }, none, false },
        { "nil between", [] { return P::predicateWithFormat("flag BETWEEN {0, 1}"); }, none, false },
        { "0 == NO", [] { return P::predicateWithFormat("flag == NO"); }, zero, true },
        { "0 == nil", [] { return P::predicateWithFormat("flag == nil"); }, zero, false },
        { "%@ nil argument", [] { return P::predicateWithFormat("flag == %@", nullptr); }, none, true },
    };
    runCases(cases);
}

TEST(NSPredicate, ClassTestsOnObjects)
{
    using P = NSPredicate;
    auto plane = Plane::init();
    plane->m_added = true;
    auto airport = Airport::init();
    std::vector<Case> cases = {
        { "kind of own class", [] { return P::predicateWithFormat("self isKindOfClass: %@", Plane::classObject()); },
            Value(plane), true },
        { "kind of superclass",
            [] { return P::predicateWithFormat("(self isKindOfClass: %@)", Annotation::classObject()); }, Value(plane),
            true },
        { "kind of sibling", [] { return P::predicateWithFormat("self isKindOfClass:%@", Plane::classObject()); },
            Value(airport), false },
        { "not an object", [] { return P::predicateWithFormat("self isKindOfClass: %@", Plane::classObject()); },
            Value("str"), false },
        { "exact class", [] { return P::predicateWithFormat("class == %@", Airport::classObject()); }, Value(airport),
            true },
        { "exact class excludes subclasses",
            [] { return P::predicateWithFormat("class == %@", Annotation::classObject()); }, Value(airport), false },
        { "boolean key", [] { return P::predicateWithFormat("addedAsAnnotation == YES"); }, Value(plane), true },
        { "boolean key false", [] { return P::predicateWithFormat("addedAsAnnotation == YES"); }, Value(airport),
            false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.make()->evaluateWithObject(c.object), c.expected) << c.make()->predicateFormat();
    }

    Value annotations = Value::array({ Value(plane), Value(airport), Value(Plane::init()) });
    auto planes = filteredArrayUsingPredicate(
        annotations, P::predicateWithFormat("self isKindOfClass: %@", Plane::classObject()));
    ASSERT_EQ(planes.count(), 2u);
    EXPECT_EQ(planes[size_t(0)], Value(plane));
}

TEST(NSPredicate, MalformedFormatsRaiseACatchableException)
{
    const char* const formats[] = {
        "",
        "a ==",
        "== 1",
        "a == 'unterminated",
        "(a == 1",
        "a == 1)",
        "a === 1",
        "a BETWEEN {1}",
        "a == 1 OR",
        "AND a == 1",
        "a contains[x] 'b'",
        "12abc == 1",
        "a == %@", // missing argument
        "a == %K", // missing key
        "name == 'O'Brien'", // an unescaped quote in a value
        "a.b. == 1",
        "a == 1 b == 2",
        "NOT",
        "a IN",
    };
    std::string deep = std::string(100000, '(').append("a == 1").append(100000, ')');
    std::vector<std::string> all(std::begin(formats), std::end(formats));
    all.push_back(deep);
    all.push_back(std::string(100000, '!').append("a == 1"));
    for (const auto& format : all) {
        SCOPED_TRACE(format.substr(0, 40));
        try {
            NSPredicate::predicateWithFormat(format);
            ADD_FAILURE() << "parsed";
        } catch (const NSException& e) {
            EXPECT_EQ(e.name(), "NSInvalidArgumentException");
            EXPECT_EQ(e.reason(), std::string("Unable to parse the format string \"") + format + "\"");
        }
    }
}

TEST(NSPredicate, EvaluationErrorsRaiseACatchableException)
{
    Value plane = dict({ { "altitude", Value("high") }, { "speed", Value(10) } });
    struct Row {
        Ref<NSPredicate> predicate;
        const char* exception;
    };
    const Row rows[] = {
        { NSPredicate::predicateWithFormat("altitude > 1"), "NSInvalidArgumentException" },
        { NSPredicate::predicateWithFormat("speed CONTAINS '1'"), "NSInvalidArgumentException" },
        { NSPredicate::predicateWithFormat("altitude MATCHES '(unclosed'"), "NSInvalidArgumentException" },
        { NSPredicate::predicateWithFormat("speed.value == 1"), "NSUnknownKeyException" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.predicate->predicateFormat());
        try {
            row.predicate->evaluateWithObject(plane);
            ADD_FAILURE() << "no exception";
        } catch (const NSException& e) {
            EXPECT_EQ(e.name(), row.exception);
        }
    }
}

TEST(NSPredicate, CompoundsBlocksAndFiltering)
{
    // The text the filter store builds: clauses joined by OR with no parentheses of their own.
    auto filter = NSPredicate::predicateWithFormat("altitude > 0.000000 AND altitude < 60000.000000 AND ((fltno "
                                                   "contains[c] 'BAW' OR callsign contains[c] 'BAW')) AND "
                                                   "(route contains[c] '-LHR') OR type contains[c] 'B744'");
    Value planes = Value::array({
        dict({ { "fltno", Value("BA1") }, { "callsign", Value("BAW1") }, { "route", Value("JFK-LHR") },
            { "type", Value("A388") }, { "altitude", Value(30000.0) } }),
        dict({ { "fltno", Value("BA2") }, { "callsign", Value("BAW2") }, { "route", Value("LHR-JFK") },
            { "type", Value("A388") }, { "altitude", Value(30000.0) } }),
        dict({ { "fltno", Value("QF1") }, { "callsign", Value("QFA1") }, { "route", Value("SYD-LHR") },
            { "type", Value("B744") }, { "altitude", Value() } }),
    });
    auto kept = filteredArrayUsingPredicate(planes, filter);
    ASSERT_EQ(kept.count(), 2u);
    EXPECT_EQ(kept[size_t(0)]["fltno"], Value("BA1"));
    EXPECT_EQ(kept[size_t(1)]["fltno"], Value("QF1"));

    auto heavy
        = NSPredicate::predicateWithBlock([](const Value& o, const Value&) { return o["type"].string() == "B744"; });
    auto british = NSPredicate::predicateWithFormat("fltno BEGINSWITH 'BA'");
    struct Row {
        Ref<NSPredicate> predicate;
        const char* format;
        size_t count;
    };
    const Row rows[] = {
        { NSPredicate::orPredicateWithSubpredicates({ heavy, british }), nullptr, 3 },
        { NSPredicate::andPredicateWithSubpredicates({ heavy, british }), nullptr, 0 },
        { NSPredicate::notPredicateWithSubpredicate(british), "NOT fltno BEGINSWITH \"BA\"", 1 },
        { NSPredicate::andPredicateWithSubpredicates({}), "TRUEPREDICATE", 3 },
        { NSPredicate::orPredicateWithSubpredicates({}), "FALSEPREDICATE", 0 },
        { NSPredicate::andPredicateWithSubpredicates({ british,
              NSPredicate::orPredicateWithSubpredicates({ NSPredicate::predicateWithValue(false), british }) }),
            "fltno BEGINSWITH \"BA\" AND (FALSEPREDICATE OR fltno BEGINSWITH \"BA\")", 2 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.predicate->predicateFormat());
        EXPECT_EQ(filteredArrayUsingPredicate(planes, row.predicate).count(), row.count);
        if (row.format) {
            EXPECT_EQ(row.predicate->predicateFormat(), row.format);
        }
    }
    EXPECT_THROW(filteredArrayUsingPredicate(planes, nullptr), NSException);
}

TEST(NSPredicate, PrintsAFormatThatParsesBack)
{
    struct Row {
        Ref<NSPredicate> predicate;
        const char* format;
    };
    const Row rows[] = {
        { NSPredicate::predicateWithFormat("adshex = %@", "AB\"C"), R"(adshex == "AB\"C")" },
        { NSPredicate::predicateWithFormat("a = 1 || b <> 2.5 && !(c = nil)"),
            "a == 1 OR (b != 2.5 AND NOT c == nil)" },
        { NSPredicate::predicateWithFormat("x between {%d, %f}", 1, 2.0), "x BETWEEN {1, 2.0}" },
        { NSPredicate::predicateWithFormat("name contains[cd] 'a' AND self.#and == YES"),
            "name CONTAINS[cd] \"a\" AND #and == YES" },
        { NSPredicate::predicateWithFormat("class == %@", Airport::classObject()),
            R"(class == CAST("Airport", "Class"))" },
        // Infinities and NaN print so that they read back as themselves, not as key paths.
        { NSPredicate::predicateWithFormat("speed < 1e999"), "speed < 1e999" },
        { NSPredicate::predicateWithFormat("speed > %f", -std::numeric_limits<double>::infinity()), "speed > -1e999" },
        { NSPredicate::predicateWithFormat("speed != %f", std::nan("")), R"(speed != CAST("nan", "NSNumber"))" },
        { NSPredicate::predicateWithFormat("seen < %@", Value::date(std::numeric_limits<double>::infinity())),
            R"(seen < CAST(1e999, "NSDate"))" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.format);
        EXPECT_EQ(row.predicate->predicateFormat(), row.format);
        auto reparsed = NSPredicate::predicateWithFormat(row.predicate->predicateFormat());
        EXPECT_EQ(reparsed->predicateFormat(), row.format);
        Value object = Value::dictionary({ { "speed", 5 }, { "seen", Value::date(0) } });
        EXPECT_EQ(reparsed->evaluateWithObject(object), row.predicate->evaluateWithObject(object));
    }
}

namespace {
VX_REGISTER_CLASS(Airport);
}
