#include "foundation/NSCoder.h"
#include "foundation/NSCoding.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// A record with one field of every kind a coder writes, and nested records.
class KESTTestRecord : public NSObject, public NSCoding {
    VX_OBJECT(KESTTestRecord, NSObject)
public:
    explicit KESTTestRecord(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KESTTestRecord> init() { return make<KESTTestRecord>(); }

    static Ref<KESTTestRecord> initWithCoder(NSCoder& coder)
    {
        auto r = init();
        r->name = coder.decodeObjectOfClassForKey(Value::stringClass(), "name");
        r->count = coder.decodeIntForKey("count");
        r->flag = coder.decodeBoolForKey("flag");
        r->big = coder.decodeInt64ForKey("big");
        r->ratio = coder.decodeFloatForKey("ratio");
        r->precise = coder.decodeDoubleForKey("precise");
        r->child = coder.decodeObjectOfClassesForKey({ KESTTestRecord::classObject() }, "child");
        r->list = coder.decodeObjectOfClassesForKey({ Value::arrayClass(), KESTTestRecord::classObject() }, "list");
        r->dollar = coder.decodeObjectOfClassForKey(Value::stringClass(), "$class");
        r->hadMissing = coder.containsValueForKey("missing");
        return r;
    }

    void encodeWithCoder(NSCoder& coder) override
    {
        coder.encodeObjectForKey(name, "name");
        coder.encodeIntForKey(count, "count");
        coder.encodeBoolForKey(flag, "flag");
        coder.encodeInt64ForKey(big, "big");
        coder.encodeFloatForKey(ratio, "ratio");
        coder.encodeDoubleForKey(precise, "precise");
        coder.encodeObjectForKey(child, "child");
        coder.encodeObjectForKey(list, "list");
        coder.encodeObjectForKey(dollar, "$class"); // a key that looks like the archive's own
    }

    Value name;
    int32_t count { 0 };
    bool flag { false };
    int64_t big { 0 };
    float ratio { 0 };
    double precise { 0 };
    Value child;
    Value list;
    Value dollar;
    bool hadMissing { false };
};
VX_REGISTER_CODING_CLASS(KESTTestRecord);

// Refuses to decode by throwing, as a careless initWithCoder might.
class KESTThrowingRecord : public NSObject, public NSCoding {
    VX_OBJECT(KESTThrowingRecord, NSObject)
public:
    explicit KESTThrowingRecord(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KESTThrowingRecord> init() { return make<KESTThrowingRecord>(); }
    static Ref<KESTThrowingRecord> initWithCoder(NSCoder& coder)
    {
        Value list = coder.decodeObjectForKey("list");
        (void)list[3]; // raises NSRangeException
        return init();
    }
    void encodeWithCoder(NSCoder& coder) override { coder.encodeObjectForKey(Value::array(), "list"); }
};
VX_REGISTER_CODING_CLASS(KESTThrowingRecord);

Value::Bytes archive(const Value& root)
{
    Ref<NSError> error;
    Value data = NSKeyedArchiver::archivedDataWithRootObject(root, &error);
    EXPECT_EQ(error, nullptr);
    return data.bytes();
}

// An XML keyed archive with the given "$top" entries and "$objects" after "$null".
Value::Bytes xmlArchive(
    const std::string& top, const std::string& objects, const std::string& archiver = "NSKeyedArchiver")
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                      "<key>$archiver</key><string>"
        + archiver + "</string><key>$version</key><integer>100000</integer><key>$top</key><dict>" + top
        + "</dict><key>$objects</key><array><string>$null</string>" + objects + "</array></dict></plist>";
    return Value::Bytes(xml.begin(), xml.end());
}

std::string root(int uid)
{
    return "<key>root</key><dict><key>CF$UID</key><integer>" + std::to_string(uid) + "</integer></dict>";
}
std::string uid(int uid)
{
    return "<dict><key>CF$UID</key><integer>" + std::to_string(uid) + "</integer></dict>";
}
std::string classEntry(const std::string& name)
{
    return "<dict><key>$classname</key><string>" + name + "</string><key>$classes</key><array><string>" + name
        + "</string><string>NSObject</string></array></dict>";
}

} // namespace

TEST(NSKeyedArchiver, ValuesRoundTrip)
{
    Value shared = Value::array({ Value("s") });
    struct Case {
        const char* name;
        Value value;
    };
    Case cases[] = {
        { "string", Value("h\xc3\xa9llo") },
        { "empty string", Value("") },
        { "int", Value(-7) },
        { "long long", Value(int64_t(-1) << 40) },
        { "bool", Value(true) },
        { "double", Value(0.1 + 0.2) },
        { "float", Value(2.5f) },
        { "data", Value::data({ 0, 1, 0xff }) },
        { "date", Value::date(1386412345.5) },
        { "null", Value::null() },
        { "array", Value::array({ Value(1), Value("two"), Value::null(), Value::date(0) }) },
        { "dictionary in order",
            Value::dictionary({ { Value("z"), Value(1) }, { Value("a"), Value::array() }, { Value(3), Value("n") } }) },
        { "shared storage", Value::array({ shared, shared, Value::dictionary({ { Value("k"), shared } }) }) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        Value back = NSKeyedUnarchiver::unarchiveObjectWithData(archive(c.value), &error);
        EXPECT_EQ(error, nullptr);
        EXPECT_TRUE(back.isEqual(c.value)) << back.description();
        EXPECT_EQ(back.kind() == Value::Kind::Bool, c.value.kind() == Value::Kind::Bool);
    }

    Value back = NSKeyedUnarchiver::unarchiveObjectWithData(
        archive(Value::mutableDictionary({ { Value("a"), Value::mutableArray() } })));
    EXPECT_TRUE(back.isMutable());
    EXPECT_TRUE(back["a"].isMutable());
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(archive(Value::array())).isMutable());
    EXPECT_EQ(NSKeyedUnarchiver::unarchiveObjectWithData(archive(Value(7))).kind(), Value::Kind::Int);
    EXPECT_EQ(
        NSKeyedUnarchiver::unarchiveObjectWithData(archive(Value(int64_t(7) << 33))).kind(), Value::Kind::LongLong);
}

TEST(NSKeyedArchiver, CodingObjectsRoundTripWithNesting)
{
    auto inner = KESTTestRecord::init();
    inner->name = Value("inner");
    inner->count = -3;
    auto outer = KESTTestRecord::init();
    outer->name = Value("outer");
    outer->count = INT32_MAX;
    outer->flag = true;
    outer->big = INT64_MIN;
    outer->ratio = 2.4f;
    outer->precise = 1e300;
    outer->child = Value(inner);
    outer->list = Value::array({ Value(inner), Value(KESTTestRecord::init()) });
    outer->dollar = Value("kept");

    Value data = NSKeyedArchiver::archivedDataWithRootObject(Value(outer));
    ASSERT_TRUE(data.isData());
    EXPECT_EQ(std::string(data.bytes().begin(), data.bytes().begin() + 8), "bplist00");

    for (bool secure : { false, true }) {
        SCOPED_TRACE(secure ? "secure" : "plain");
        Ref<NSError> error;
        Value back = secure
            ? NSKeyedUnarchiver::unarchivedObjectOfClassFromData(KESTTestRecord::classObject(), data.bytes(), &error)
            : NSKeyedUnarchiver::unarchiveObjectWithData(data.bytes(), &error);
        ASSERT_EQ(error, nullptr) << error->description();
        auto r = back.objectAs<KESTTestRecord>();
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->name.string(), "outer");
        EXPECT_EQ(r->count, INT32_MAX);
        EXPECT_TRUE(r->flag);
        EXPECT_EQ(r->big, INT64_MIN);
        EXPECT_EQ(r->ratio, 2.4f);
        EXPECT_EQ(r->precise, 1e300);
        EXPECT_EQ(r->dollar.string(), "kept");
        EXPECT_FALSE(r->hadMissing);
        auto child = r->child.objectAs<KESTTestRecord>();
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->count, -3);
        ASSERT_EQ(r->list.count(), 2u);
        // One object archived twice comes back as one object.
        EXPECT_EQ(r->list[0].objectValue(), r->child.objectValue());
        EXPECT_TRUE(r->list[1].objectAs<KESTTestRecord>()->name.isNil());
    }
}

TEST(NSKeyedArchiver, TopLevelKeysOfAnArchiver)
{
    NSKeyedArchiver archiver;
    archiver.encodeBoolForKey(true, "HarborFeedbackUserDataAsked");
    archiver.encodeObjectForKey(Value("abc"), "HarborFeedbackAppID");
    archiver.encodeIntForKey(42, "count");
    archiver.encodeObjectForKey(Value(), "absent");
    Value data = archiver.encodedData();
    archiver.encodeIntForKey(1, "late"); // ignored once finished

    auto unarchiver = NSKeyedUnarchiver::initForReadingWithData(data.bytes());
    ASSERT_NE(unarchiver, nullptr);
    EXPECT_TRUE(unarchiver->containsValueForKey("HarborFeedbackUserDataAsked"));
    EXPECT_TRUE(unarchiver->decodeBoolForKey("HarborFeedbackUserDataAsked"));
    EXPECT_EQ(unarchiver->decodeObjectForKey("HarborFeedbackAppID").string(), "abc");
    EXPECT_EQ(unarchiver->decodeIntegerForKey("count"), 42);
    EXPECT_EQ(unarchiver->decodeDoubleForKey("count"), 42.0);
    EXPECT_TRUE(unarchiver->decodeObjectForKey("absent").isNil());
    EXPECT_FALSE(unarchiver->containsValueForKey("late"));
    EXPECT_EQ(unarchiver->decodeIntForKey("missing"), 0);
    EXPECT_EQ(unarchiver->error(), nullptr);
}

TEST(NSKeyedArchiver, UnarchivableValuesFailTheArchive)
{
    struct Case {
        const char* name;
        Value value;
    };
    Case cases[] = {
        { "plain object", Value(NSObject::init()) },
        { "class", Value(NSObject::classObject()) },
        { "object inside an array", Value::array({ Value(1), Value(NSObject::init()) }) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(c.value, &error).isNil());
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
        EXPECT_EQ(error->code(), NSCoderInvalidValueError);
    }
}

TEST(NSKeyedUnarchiver, SecureDecodingAdmitsOnlyAllowedClasses)
{
    auto record = KESTTestRecord::init();
    Value list = Value::array({ Value("a"), Value(record) });
    struct Case {
        const char* name;
        Value root;
        std::vector<Class> allowed;
        bool admitted;
    };
    Case cases[] = {
        { "string as string", Value("x"), { Value::stringClass() }, true },
        { "string as number", Value("x"), { Value::numberClass() }, false },
        { "mutable array as array", Value::mutableArray({ Value(1) }), { Value::arrayClass(), Value::numberClass() },
            true },
        { "array with an element not allowed", Value::array({ Value(1) }), { Value::arrayClass() }, false },
        { "record where strings are expected", Value(record), { Value::stringClass() }, false },
        { "record inside an array, record not allowed", list, { Value::arrayClass(), Value::stringClass() }, false },
        { "record inside an array, allowed", list,
            { Value::arrayClass(), Value::stringClass(), KESTTestRecord::classObject() }, true },
        { "dictionary with string keys", Value::dictionary({ { Value("k"), Value::null() } }),
            { Value::dictionaryClass(), Value::stringClass(), Value::nullClass() }, true },
        { "nothing allowed", Value("x"), {}, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        Value back = NSKeyedUnarchiver::unarchivedObjectOfClassesFromData(c.allowed, archive(c.root), &error);
        EXPECT_EQ(!back.isNil(), c.admitted);
        EXPECT_EQ(error == nullptr, c.admitted);
        if (error) {
            EXPECT_EQ(error->code(), NSCoderReadCorruptError);
        }
    }
}

TEST(NSKeyedUnarchiver, CorruptArchivesFailCleanly)
{
    struct Case {
        const char* name;
        Value::Bytes data;
    };
    std::string recordClass = classEntry("KESTTestRecord");
    std::string deep;
    for (int i = 1; i <= 600; ++i)
        deep += "<dict><key>NS.objects</key><array>" + uid(i + 1) + "</array><key>$class</key>" + uid(602) + "</dict>";
    deep += "<string>leaf</string>" + classEntry("NSArray");
    Case cases[] = {
        { "empty", {} },
        { "not a property list", { 'h', 'e', 'l', 'l', 'o' } },
        { "property list that is not a dictionary", Value::Bytes { '<', 'a', '/', '>' } },
        { "other archiver", xmlArchive(root(1), "<string>x</string>", "Other") },
        { "reference beyond the objects", xmlArchive(root(9), "") },
        { "root is not a reference", xmlArchive("<key>root</key><string>x</string>", "") },
        { "object without class", xmlArchive(root(1), "<dict><key>NS.objects</key><array/></dict>") },
        { "class reference to a string",
            xmlArchive(root(1), "<dict><key>$class</key>" + uid(2) + "</dict><string>x</string>") },
        { "unknown class",
            xmlArchive(root(1), "<dict><key>$class</key>" + uid(2) + "</dict>" + classEntry("KESTNoSuchClass")) },
        { "array that contains itself",
            xmlArchive(root(1),
                "<dict><key>NS.objects</key><array>" + uid(1) + "</array><key>$class</key>" + uid(2) + "</dict>"
                    + classEntry("NSArray")) },
        { "array holding nil",
            xmlArchive(root(1),
                "<dict><key>NS.objects</key><array>" + uid(0) + "</array><key>$class</key>" + uid(2) + "</dict>"
                    + classEntry("NSArray")) },
        { "array whose elements are not references",
            xmlArchive(root(1),
                "<dict><key>NS.objects</key><array><string>x</string></array><key>$class</key>" + uid(2) + "</dict>"
                    + classEntry("NSArray")) },
        { "dictionary with fewer keys than values",
            xmlArchive(root(1),
                "<dict><key>NS.keys</key><array/><key>NS.objects</key><array>" + uid(3) + "</array><key>$class</key>"
                    + uid(2) + "</dict>" + classEntry("NSDictionary") + "<string>v</string>") },
        { "date without time",
            xmlArchive(root(1), "<dict><key>$class</key>" + uid(2) + "</dict>" + classEntry("NSDate")) },
        { "record with a string where a number belongs",
            xmlArchive(root(1),
                "<dict><key>count</key><string>12</string><key>$class</key>" + uid(2) + "</dict>" + recordClass) },
        { "record with a count too large for 32 bits",
            xmlArchive(root(1),
                "<dict><key>count</key><integer>4294967296</integer><key>$class</key>" + uid(2) + "</dict>"
                    + recordClass) },
        { "record whose name is a number",
            xmlArchive(root(1),
                "<dict><key>name</key>" + uid(3) + "<key>$class</key>" + uid(2) + "</dict>" + recordClass
                    + "<integer>5</integer>") },
        { "record whose decoder throws",
            xmlArchive(root(1),
                "<dict><key>list</key>" + uid(3) + "<key>$class</key>" + uid(2) + "</dict>"
                    + classEntry("KESTThrowingRecord") + "<dict><key>NS.objects</key><array/><key>$class</key>" + uid(4)
                    + "</dict>" + classEntry("NSArray")) },
        { "objects nested too deeply", xmlArchive(root(1), deep) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        Value back;
        EXPECT_NO_THROW(back = NSKeyedUnarchiver::unarchiveObjectWithData(c.data, &error));
        EXPECT_TRUE(back.isNil());
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
        EXPECT_EQ(error->code(), NSCoderReadCorruptError);
        EXPECT_FALSE(error->userInfo()[NSDebugDescriptionErrorKey].string().empty());
    }

    // A well-formed XML archive of the same shape decodes, so the cases above fail for their flaw.
    Value ok = NSKeyedUnarchiver::unarchiveObjectWithData(xmlArchive(root(1),
        "<dict><key>NS.objects</key><array>" + uid(3) + "</array><key>$class</key>" + uid(2) + "</dict>"
            + classEntry("NSArray") + "<string>x</string>"));
    EXPECT_TRUE(ok.isEqual(Value::array({ Value("x") })));
}

TEST(NSKeyedUnarchiver, DamagedBinaryArchivesNeverCrash)
{
    auto record = KESTTestRecord::init();
    record->name = Value("name");
    record->list
        = Value::array({ Value::dictionary({ { Value("k"), Value(1.5) } }), Value::date(5), Value::data({ 1, 2 }) });
    Value::Bytes good = archive(Value(record));

    // Every truncation, and every byte flipped, must end in a value, nil or a clean error.
    for (size_t length = 0; length < good.size(); ++length) {
        Value::Bytes cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(length));
        Ref<NSError> error;
        Value back;
        EXPECT_NO_THROW(back = NSKeyedUnarchiver::unarchiveObjectWithData(cut, &error)) << length;
        EXPECT_TRUE(back.isNil()) << length;
        EXPECT_NE(error, nullptr) << length;
    }
    for (size_t i = 0; i < good.size(); ++i) {
        for (uint8_t mask : { 0x01, 0x80, 0xff }) {
            Value::Bytes bad = good;
            bad[i] ^= mask;
            Ref<NSError> error;
            Value back;
            EXPECT_NO_THROW(back = NSKeyedUnarchiver::unarchiveObjectWithData(bad, &error)) << i;
            // A flip can rename a key, which reads as nil without an error; a failure is never
            // a value.
            if (error) {
                EXPECT_TRUE(back.isNil()) << i;
            }
        }
    }
}

namespace {

// Strings holding U+0000 are refused both ways: the archiver does not cut them short and the
// unarchiver does not hand back what it could not archive again.
TEST(NSKeyedUnarchiver, StringsWithANulCharacterAreRefusedBothWays)
{
    Ref<NSError> error;
    EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(Value(std::string("nul\0inside", 10)), &error).isNil());
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->code(), NSCoderInvalidValueError);

    // Strings with a character outside ASCII are stored as UTF-16: "\u00e9X" is 00 E9 00 58, and
    // the "X" becomes U+0000.
    const std::string marker { '\0', '\xE9', '\0', 'X' };
    struct Case {
        const char* name;
        Value root;
    } cases[] = {
        { "root string", Value("nul\u00e9Xinside") },
        { "dictionary value", Value::dictionary({ { Value("SharedUDID"), Value("id\u00e9Xvalue") } }) },
        { "dictionary key", Value::dictionary({ { Value("key\u00e9Xnul"), Value(1) } }) },
        { "array element", Value::array({ Value("fine"), Value("arr\u00e9Xnul") }) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Value::Bytes bytes = NSKeyedArchiver::archivedDataWithRootObject(c.root).bytes();
        std::string view(bytes.begin(), bytes.end());
        size_t at = view.find(marker);
        ASSERT_NE(at, std::string::npos);
        EXPECT_TRUE(NSKeyedUnarchiver::unarchiveObjectWithData(bytes).isEqual(c.root));
        bytes[at + marker.size() - 1] = 0;
        error = nullptr;
        Value back;
        EXPECT_NO_THROW(back = NSKeyedUnarchiver::unarchiveObjectWithData(bytes, &error));
        EXPECT_TRUE(back.isNil()) << back.description();
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->code(), NSCoderReadCorruptError);
    }
}

} // namespace
