#include "foundation/NSError.h"
#include "foundation/NSPropertyListSerialization.h"
#include "foundation/Random.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <iomanip>
#include <limits>
#include <plist/plist.h>

namespace {

using Format = NSPropertyListSerialization::NSPropertyListFormat;
constexpr Format kXML = NSPropertyListSerialization::NSPropertyListXMLFormat_v1_0;
constexpr Format kBinary = NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0;

Value roundTrip(const Value& v, Format format, uint32_t options = 0, Format* found = nullptr)
{
    Ref<NSError> error;
    Value data = NSPropertyListSerialization::dataWithPropertyList(v, format, 0, &error);
    EXPECT_TRUE(data.isData()) << (error ? error->description() : "");
    Value back = NSPropertyListSerialization::propertyListWithData(data, options, found, &error);
    EXPECT_FALSE(back.isNil()) << (error ? error->description() : "");
    return back;
}

std::string text(const Value& data)
{
    return std::string(data.bytes().begin(), data.bytes().end());
}

} // namespace

TEST(NSPropertyListSerialization, RoundTripsEveryKindInBothFormats)
{
    const Value cases[] = {
        Value(0),
        Value(-1),
        Value(int32_t(INT32_MIN)),
        Value(int64_t(1) << 40),
        Value(std::numeric_limits<int64_t>::min()),
        Value(std::numeric_limits<int64_t>::max()),
        Value(true),
        Value(false),
        Value(0.1),
        Value(-1.5e300),
        Value(""),
        Value("<&> \"quoted\" \u00e9\u6f22 \U0001F600"),
        Value::data({ 0, 1, 2, 255 }),
        Value::data({}),
        Value::date(1700000000.0),
        Value::date(-1e9),
        Value::array({ Value(1), Value("two"), Value::array() }),
        Value::dictionary({ { Value("zeta"), Value(1) }, { Value("alpha"), Value(2) },
            { Value("mid"), Value::dictionary({ { Value("k"), Value::array({ Value(-7) }) } }) } }),
    };
    for (Format format : { kXML, kBinary }) {
        for (const Value& v : cases) {
            SCOPED_TRACE(std::to_string(format) + " " + v.description());
            Format found {};
            Value back = roundTrip(v, format, 0, &found);
            EXPECT_EQ(found, format);
            EXPECT_TRUE(back.isEqual(v)) << back.description();
            EXPECT_EQ(back.kind() == Value::Kind::Bool, v.kind() == Value::Kind::Bool);
            if (v.isDictionary()) {
                std::vector<Value> keys = back.allKeys();
                ASSERT_EQ(keys.size(), 3u);
                EXPECT_EQ(keys[0].string(), "zeta");
                EXPECT_EQ(keys[2].string(), "mid");
            }
        }
    }
}

TEST(NSPropertyListSerialization, KeepsSubsecondDatesInBinaryAndIntegersSigned)
{
    Value date = Value::date(1700000000.25);
    EXPECT_DOUBLE_EQ(roundTrip(date, kBinary).dateValue(), 1700000000.25);
    // Integers above the 32-bit range keep every bit; those within come back as ints.
    EXPECT_EQ(roundTrip(Value(int64_t(-5000000000)), kXML).longLongValue(), -5000000000);
    EXPECT_EQ(roundTrip(Value(-3), kBinary).intValue(), -3);
    Value xml = NSPropertyListSerialization::dataWithPropertyList(Value(-1), kXML, 0, nullptr);
    EXPECT_NE(text(xml).find("<integer>-1</integer>"), std::string::npos);
}

// A date keeps its value through a write and a read: exactly in binary, which stores the
// seconds as a double; to the whole second in XML, whose text holds whole seconds (the second
// it falls in, also before 2001).
TEST(NSPropertyListSerialization, DatesKeepTheirValueThroughAWriteAndARead)
{
    constexpr double k2001 = 978307200.0;
    const double cases[] = {
        k2001,
        k2001 + 0.1,
        k2001 - 0.5,
        k2001 - 1.25,
        k2001 + 12345.678901234,
        k2001 + 0.0000004,
        1700000000.999999,
        -1e9 + 0.3, // 1938
        k2001 + 2147483647.5,
        k2001 - 2147483648.0,
    };
    for (double seconds : cases) {
        SCOPED_TRACE(testing::Message() << std::setprecision(17) << seconds);
        Value date = Value::date(seconds);
        EXPECT_EQ(roundTrip(date, kBinary).dateValue(), seconds);
        EXPECT_EQ(roundTrip(date, kXML).dateValue(), std::floor(seconds - k2001) + k2001);
        // Written again, what was read stays as it is.
        Value fromXML = roundTrip(date, kXML);
        EXPECT_TRUE(roundTrip(fromXML, kXML).isEqual(fromXML));
        EXPECT_TRUE(roundTrip(fromXML, kBinary).isEqual(fromXML));
    }
}

// The binary writer's output read by libplist: wide references and offsets, long and non-ASCII
// strings, negative and wide integers, dates, and strings written once however often they occur.
TEST(NSPropertyListSerialization, BinaryOutputReadsWithAnIndependentReader)
{
    Value list = Value::mutableArray();
    for (int i = 0; i < 300; ++i)
        list.addObject(Value(i * 1000));
    Value plist = Value::dictionary({
        { Value("numbers"), list },
        { Value("negative"), Value(int64_t(-5000000000)) },
        { Value("name"), Value("Z\u00fcrich \U0001F600 and a text longer than fifteen") },
        { Value("when"), Value::date(978307200.0 + 3600.5) },
        { Value("bytes"), Value::data(std::vector<uint8_t>(40, 7)) },
        { Value("again"), Value("numbers") },
        { Value("flag"), Value(true) },
        { Value("ratio"), Value(0.25) },
    });
    Value data = NSPropertyListSerialization::dataWithPropertyList(plist, kBinary, 0, nullptr);
    ASSERT_TRUE(data.isData());
    plist_t root = nullptr;
    plist_from_bin(
        reinterpret_cast<const char*>(data.bytes().data()), static_cast<uint32_t>(data.bytes().size()), &root);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(plist_get_node_type(root), PLIST_DICT);
    plist_t numbers = plist_dict_get_item(root, "numbers");
    ASSERT_EQ(plist_array_get_size(numbers), 300u);
    uint64_t number = 0;
    plist_get_uint_val(plist_array_get_item(numbers, 299), &number);
    EXPECT_EQ(number, 299000u);
    plist_get_uint_val(plist_dict_get_item(root, "negative"), &number);
    EXPECT_EQ(static_cast<int64_t>(number), -5000000000);
    char* name = nullptr;
    plist_get_string_val(plist_dict_get_item(root, "name"), &name);
    EXPECT_STREQ(name, "Z\u00fcrich \U0001F600 and a text longer than fifteen");
    std::free(name);
    int32_t seconds = 0, microseconds = 0;
    plist_get_date_val(plist_dict_get_item(root, "when"), &seconds, &microseconds);
    EXPECT_EQ(seconds, 3600);
    EXPECT_EQ(microseconds, 500000);
    uint64_t length = 0;
    plist_get_data_ptr(plist_dict_get_item(root, "bytes"), &length);
    EXPECT_EQ(length, 40u);
    uint8_t flag = 0;
    plist_get_bool_val(plist_dict_get_item(root, "flag"), &flag);
    EXPECT_EQ(flag, 1);
    double ratio = 0;
    plist_get_real_val(plist_dict_get_item(root, "ratio"), &ratio);
    EXPECT_EQ(ratio, 0.25);
    plist_free(root);
    // "numbers" as a key and as a value is one object: 300 numbers, 8 values, 8 keys, 1 root.
    const auto& bytes = data.bytes();
    uint64_t objects = 0;
    for (size_t i = bytes.size() - 24; i < bytes.size() - 16; ++i)
        objects = objects << 8 | bytes[i];
    EXPECT_EQ(objects, 300u + 8 + 8 + 1 - 1);
}

TEST(NSPropertyListSerialization, MutabilityOptionsDecideContainerMutability)
{
    Value nested = Value::dictionary({ { Value("list"), Value::array({ Value(1) }) } });
    for (Format format : { kXML, kBinary }) {
        SCOPED_TRACE(format);
        Value frozen = roundTrip(nested, format, NSPropertyListSerialization::NSPropertyListImmutable);
        EXPECT_FALSE(frozen.isMutable());
        EXPECT_FALSE(frozen["list"].isMutable());
        Value open = roundTrip(nested, format, NSPropertyListSerialization::NSPropertyListMutableContainers);
        EXPECT_TRUE(open.isMutable());
        EXPECT_TRUE(open["list"].isMutable());
        Value list = open["list"]; // shares the container
        list.addObject(Value(2));
        EXPECT_EQ(open["list"].count(), 2u);
    }
}

TEST(NSPropertyListSerialization, RefusesValuesThatAreNotPropertyLists)
{
    const Value cases[] = {
        Value(),
        Value::null(),
        Value::array({ Value(1), Value::null() }),
        Value::dictionary({ { Value(1), Value("number key") } }),
        Value(std::string("nul\0inside", 10)),
        Value::date(1e12),
    };
    for (const Value& v : cases) {
        SCOPED_TRACE(v.description());
        EXPECT_FALSE(NSPropertyListSerialization::propertyListIsValidForFormat(v, kBinary));
        Ref<NSError> error;
        EXPECT_TRUE(NSPropertyListSerialization::dataWithPropertyList(v, kBinary, 0, &error).isNil());
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
        EXPECT_EQ(error->code(), 3851);
    }
    Ref<NSError> error;
    EXPECT_TRUE(NSPropertyListSerialization::dataWithPropertyList(
        Value(1), NSPropertyListSerialization::NSPropertyListOpenStepFormat, 0, &error)
                    .isNil());
    EXPECT_EQ(error->code(), 3851);
}

TEST(NSPropertyListSerialization, ReadsTheOldTextFormatAndStringTables)
{
    const char* source[] = {
        "{ a = 1; \"b c\" = (x, \"y\", ); d = <0aff 10>; }",
        "/* c */ \"k\" = \"v\"; // tail\n\"k2\" = 'single'; bare;",
        "\"esc\" = \"tab\\there \\\"q\\\" \\U00e9 \\101\";",
    };
    // Check the structure, not the printing.
    Value first = NSPropertyListSerialization::propertyListWithData(Value(source[0]), 0, nullptr, nullptr);
    ASSERT_TRUE(first.isDictionary());
    EXPECT_EQ(first["a"].string(), "1");
    EXPECT_EQ(first["b c"].count(), 2u);
    EXPECT_EQ(first["d"].bytes(), (Value::Bytes { 0x0a, 0xff, 0x10 }));

    Format found {};
    Value table = NSPropertyListSerialization::propertyListWithData(Value(source[1]), 0, &found, nullptr);
    EXPECT_EQ(found, NSPropertyListSerialization::NSPropertyListOpenStepFormat);
    EXPECT_EQ(table["k"].string(), "v");
    EXPECT_EQ(table["k2"].string(), "single");
    EXPECT_EQ(table["bare"].string(), "bare");
    EXPECT_EQ(
        NSPropertyListSerialization::propertyListWithData(Value(" // nothing\n"), 0, nullptr, nullptr).count(), 0u);
    Value escapes = NSPropertyListSerialization::propertyListWithData(Value(source[2]), 0, nullptr, nullptr);
    EXPECT_EQ(escapes["esc"].string(), "tab\there \"q\" \u00e9 A");

    // UTF-16 with a byte-order mark, either order.
    std::u16string utf16Source = u"\"Hello\" = \"Gr\u00fc\u00df \U0001F600\";";
    Value::Bytes little { 0xFF, 0xFE }, big { 0xFE, 0xFF };
    for (char16_t unit : utf16Source) {
        little.push_back(unit & 0xFF), little.push_back(unit >> 8);
        big.push_back(unit >> 8), big.push_back(unit & 0xFF);
    }
    for (const auto& bytes : { little, big }) {
        Value utf16 = NSPropertyListSerialization::propertyListWithData(Value::data(bytes), 0, nullptr, nullptr);
        EXPECT_EQ(utf16["Hello"].string(), "Gr\u00fc\u00df \U0001F600");
    }
}

TEST(NSPropertyListSerialization, CorruptInputFailsWithReadErrorNeverCrashes)
{
    const char* bad[] = {
        "",
        "{ a = 1; ",
        "\"k\" = \"unterminated;",
        "( 1, 2",
        "<0g>",
        "/* open comment",
        "<?xml version=\"1.0\"?><plist><dict><key>a</key></plist>",
        "<plist version=\"1.0\"><integer>12</real></plist>",
        "bplist00garbage",
        "\xff\xfe\x41",
        "\xc3\x28",
    };
    for (const char* input : bad) {
        SCOPED_TRACE(input);
        Ref<NSError> error;
        Value v = NSPropertyListSerialization::propertyListWithData(
            Value::data(input, std::strlen(input)), 0, nullptr, &error);
        EXPECT_TRUE(v.isNil()) << v.description();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), 3840);
    }

    // Truncations and byte flips of real documents answer a value or an error, never a crash.
    Value sample = Value::dictionary({ { Value("list"),
                                           Value::array({ Value(1), Value(-2), Value("three"), Value::data({ 1, 2 }),
                                               Value::date(1e9), Value(2.5), Value(true) }) },
        { Value("n"), Value(int64_t(1) << 50) } });
    Random::setSeedForTesting(42);
    for (Format format : { kXML, kBinary }) {
        Value::Bytes good = NSPropertyListSerialization::dataWithPropertyList(sample, format, 0, nullptr).bytes();
        for (int round = 0; round < 3000; ++round) {
            Value::Bytes mangled = good;
            if (round % 2 == 0) {
                mangled.resize(Random::arc4random_uniform(static_cast<uint32_t>(good.size())));
            } else {
                for (uint32_t flips = 1 + Random::arc4random_uniform(4); flips > 0; --flips)
                    mangled[Random::arc4random_uniform(static_cast<uint32_t>(mangled.size()))]
                        = static_cast<uint8_t>(Random::arc4random());
            }
            Ref<NSError> error;
            Value v = NSPropertyListSerialization::propertyListWithData(Value::data(mangled), 0, nullptr, &error);
            EXPECT_TRUE(!v.isNil() || (error && error->code() == 3840));
        }
    }
    Random::reset();
}

TEST(NSPropertyListSerialization, HostileShapesAreRefusedOrSharedNotExpanded)
{
    // Binary: each array holds the next one twice, so the tree has 2^60 leaves.
    const int levels = 60;
    Value::Bytes doc { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
    std::vector<uint16_t> offsets;
    for (int i = 0; i < levels; ++i) {
        offsets.push_back(static_cast<uint16_t>(doc.size()));
        doc.insert(doc.end(), { 0xA2, static_cast<uint8_t>(i + 1), static_cast<uint8_t>(i + 1) });
    }
    offsets.push_back(static_cast<uint16_t>(doc.size()));
    doc.insert(doc.end(), { 0x10, 0x05 });
    size_t table = doc.size();
    for (uint16_t offset : offsets)
        doc.insert(doc.end(), { static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset & 0xFF) });
    doc.insert(doc.end(), { 0, 0, 0, 0, 0, 0, 2, 1 });
    for (uint64_t field : { uint64_t(levels + 1), uint64_t(0), uint64_t(table) }) {
        for (int shift = 56; shift >= 0; shift -= 8)
            doc.push_back(static_cast<uint8_t>(field >> shift));
    }
    Value shared = NSPropertyListSerialization::propertyListWithData(Value::data(doc), 0, nullptr, nullptr);
    ASSERT_TRUE(shared.isArray());
    Value leafParent = shared;
    for (int i = 1; i < levels; ++i)
        leafParent = leafParent.objectAtIndex(1);
    EXPECT_EQ(leafParent.objectAtIndex(0).intValue(), 5);
    Ref<NSError> error;
    EXPECT_TRUE(NSPropertyListSerialization::propertyListWithData(
        Value::data(doc), NSPropertyListSerialization::NSPropertyListMutableContainers, nullptr, &error)
                    .isNil());
    EXPECT_EQ(error->code(), 3840);

    // Nesting beyond what the readers descend into: XML, text and values to write.
    std::string xml = "<?xml version=\"1.0\"?><plist>", text;
    for (int i = 0; i < 100000; ++i)
        xml += "<array>", text += "(";
    Value deep = Value::array();
    for (int i = 0; i < 1000; ++i)
        deep = Value::array({ deep });
    for (const Value& input : { Value(xml), Value(text) }) {
        error = nullptr;
        EXPECT_TRUE(NSPropertyListSerialization::propertyListWithData(input, 0, nullptr, &error).isNil());
        EXPECT_EQ(error->code(), 3840);
    }
    Value wide = Value::array({ Value(1) });
    for (int i = 0; i < 40; ++i)
        wide = Value::array({ wide, wide });
    for (const Value& input : { deep, wide }) {
        error = nullptr;
        EXPECT_TRUE(NSPropertyListSerialization::dataWithPropertyList(input, kBinary, 0, &error).isNil());
        EXPECT_EQ(error->code(), 3851);
    }
}

TEST(NSPropertyListSerialization, ValuesSurviveTheirFormatOrAreRefused)
{
    const uint64_t big = (uint64_t(1) << 63) + 5;
    struct Case {
        const char* name;
        Value value;
    } cases[] = {
        { "largest unsigned", Value(std::numeric_limits<uint64_t>::max()) },
        { "unsigned above the signed range", Value(big) },
        { "UID below 2^63", Value::dictionary({ { Value("CF$UID"), Value(uint64_t(7)) } }) },
        { "UID of 2^63 and more", Value::dictionary({ { Value("CF$UID"), Value(big) } }) },
        { "UID of -1", Value::dictionary({ { Value("CF$UID"), Value(-1) } }) },
        { "date 1e300", Value::date(1e300) },
        { "date NaN", Value::date(std::nan("")) },
    };
    for (Format format : { kXML, kBinary }) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (format == kXML ? " in XML" : " in binary"));
            Ref<NSError> error;
            Value data = NSPropertyListSerialization::dataWithPropertyList(c.value, format, 0, &error);
            if (!data.isData()) {
                EXPECT_TRUE(error);
                EXPECT_FALSE(NSPropertyListSerialization::propertyListIsValidForFormat(c.value, format));
                continue;
            }
            Value back = NSPropertyListSerialization::propertyListWithData(data, 0, nullptr, &error);
            EXPECT_TRUE(back.isEqual(c.value)) << back.description() << " from " << text(data);
        }
    }
}

TEST(NSPropertyListSerialization, ReadsWideIntegersExactlyOrRefusesThem)
{
    auto xml = [](const std::string& literal) {
        return Value("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><array><integer>1</integer>"
                     "<integer>"
            + literal + "</integer></array></plist>");
    };
    // A binary list holding one integer object of 16 bytes: high half, then low half.
    auto binary16 = [](uint64_t high, uint64_t low) {
        std::vector<uint8_t> b { 'b', 'p', 'l', 'i', 's', 't', '0', '0', 0x14 };
        for (uint64_t half : { high, low }) {
            for (int i = 7; i >= 0; --i)
                b.push_back(uint8_t(half >> (i * 8)));
        }
        b.push_back(8); // offset table: the object at 8
        std::vector<uint8_t> trailer { 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 25 };
        b.insert(b.end(), trailer.begin(), trailer.end());
        return Value::data(b);
    };
    struct Case {
        const char* name;
        Value data;
        std::optional<Value> expected; // nullopt: refused
    } cases[] = {
        { "XML largest signed", xml("9223372036854775807"), Value(std::numeric_limits<int64_t>::max()) },
        { "XML smallest signed", xml(" -9223372036854775808 "), Value(std::numeric_limits<int64_t>::min()) },
        { "XML largest unsigned", xml("18446744073709551615"), std::nullopt },
        { "XML just above signed", xml("9223372036854775808"), std::nullopt },
        { "XML below signed", xml("-9223372036854775809"), std::nullopt },
        { "XML hexadecimal above signed", xml("0xFFFFFFFFFFFFFFFF"), std::nullopt },
        { "XML far too long", xml("123456789012345678901234567890"), std::nullopt },
        { "binary 16-byte unsigned", binary16(0, UINT64_MAX), Value(std::numeric_limits<uint64_t>::max()) },
        { "binary 16-byte small", binary16(0, 5), Value(5) },
        { "binary 16-byte negative", binary16(UINT64_MAX, uint64_t(-7)), Value(-7) },
        { "binary 16-byte beyond 64 bits", binary16(1, 0), std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        Value back = NSPropertyListSerialization::propertyListWithData(c.data, 0, nullptr, &error);
        if (!c.expected) {
            EXPECT_TRUE(back.isNil()) << back.description();
            EXPECT_TRUE(error);
            continue;
        }
        ASSERT_FALSE(back.isNil()) << (error ? error->description() : "");
        Value number = back.isArray() ? back.elements()[1] : back;
        EXPECT_TRUE(number.isEqual(*c.expected)) << number.description();
        EXPECT_EQ(number.isUnsigned(), c.expected->isUnsigned());
    }
}

TEST(NSPropertyListSerialization, DatesOutsideTheCalendarDescribeSafely)
{
    // A binary list holding one date object of the given seconds since 2001.
    auto binaryDate = [](double seconds) {
        uint64_t bits;
        std::memcpy(&bits, &seconds, sizeof bits);
        std::vector<uint8_t> b { 'b', 'p', 'l', 'i', 's', 't', '0', '0', 0x33 };
        for (int i = 7; i >= 0; --i)
            b.push_back(uint8_t(bits >> (i * 8)));
        b.push_back(8);
        std::vector<uint8_t> trailer { 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 17 };
        b.insert(b.end(), trailer.begin(), trailer.end());
        return Value::data(b);
    };
    struct Case {
        double seconds;
        const char* description;
    } cases[] = {
        { 0, "2001-01-01 00:00:00 +0000" },
        { 1e300, "<date 1e+300 seconds since 1970>" },
        { -1e300, "<date -1e+300 seconds since 1970>" },
        { std::numeric_limits<double>::infinity(), "<date inf seconds since 1970>" },
        { std::nan(""), "<date nan seconds since 1970>" },
        { 1e17, "<date 1e+17 seconds since 1970>" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        Value back = NSPropertyListSerialization::propertyListWithData(binaryDate(c.seconds), 0, nullptr, nullptr);
        ASSERT_TRUE(back.isDate());
        EXPECT_EQ(back.description(), c.description);
        EXPECT_EQ(Value::array({ back }).description().find(c.description) != std::string::npos, true);
    }
}

namespace {

// The binary document of `value` with the first `from` byte after `marker` set to `to`.
Value::Bytes patchedBinary(const Value& value, const std::string& marker, uint8_t to)
{
    Value::Bytes bytes = NSPropertyListSerialization::dataWithPropertyList(value, kBinary, 0, nullptr).bytes();
    std::string view(bytes.begin(), bytes.end());
    size_t at = view.find(marker);
    EXPECT_NE(at, std::string::npos) << marker;
    if (at != std::string::npos)
        bytes[at + marker.size() - 1] = to;
    return bytes;
}

} // namespace

// What the reader hands back can always be written again: a string or key holding U+0000, which
// no writer accepts, makes the document unreadable in every format.
TEST(NSPropertyListSerialization, ReadsNoStringItCannotWriteBack)
{
    const std::string utf16X { '\0', 'X' };
    struct Case {
        const char* name;
        Value::Bytes data;
    } cases[] = {
        { "binary ASCII string", patchedBinary(Value("nulXinside"), "nulX", 0) },
        { "binary UTF-16 string", patchedBinary(Value("nul\u00e9Xinside"), utf16X, 0) },
        { "binary key", patchedBinary(Value::dictionary({ { Value("keyXnul"), Value(1) } }), "keyX", 0) },
        { "binary string in an array", patchedBinary(Value::array({ Value("fine"), Value("arrXnul") }), "arrX", 0) },
        { "text octal escape", Value::Bytes { '(', '"', 'a', '\\', '0', '0', '0', 'b', '"', ')' } },
        { "text unicode escape", Value::Bytes { '(', '"', 'a', '\\', 'U', '0', '0', '0', '0', 'b', '"', ')' } },
        { "text key", Value::Bytes { '{', '"', 'a', '\\', '0', 'b', '"', '=', '1', ';', '}' } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        Value v = NSPropertyListSerialization::propertyListWithData(Value::data(c.data), 0, nullptr, &error);
        EXPECT_TRUE(v.isNil()) << v.description();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), 3840);
    }
    // The same documents without the NUL read, and write back.
    for (const Value& fine :
        { Value("nulXinside"), Value("nul\u00e9Xinside"), Value::dictionary({ { Value("keyXnul"), Value(1) } }) }) {
        Value back = roundTrip(fine, kBinary);
        EXPECT_TRUE(back.isEqual(fine)) << back.description();
        EXPECT_TRUE(NSPropertyListSerialization::propertyListIsValidForFormat(back, kBinary));
    }
    // An XML character reference to U+0000 is refused or read as something that can be written.
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>a&#0;b</string></plist>";
    Value fromXML = NSPropertyListSerialization::propertyListWithData(Value(xml), 0, nullptr, nullptr);
    EXPECT_TRUE(fromXML.isNil() || NSPropertyListSerialization::propertyListIsValidForFormat(fromXML, kBinary))
        << fromXML.description();
}
