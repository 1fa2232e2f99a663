#include "foundation/NSLog.h"
#include "foundation/NSObject.h"
#include "foundation/NSString.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// Captures every log line for the life of the fixture and restores the previous sink.
class LogLines {
public:
    LogLines()
    {
        m_previous = setNSLogSink([this](const std::string& line) { m_lines.push_back(line); });
    }
    ~LogLines() { setNSLogSink(m_previous); }
    const std::vector<std::string>& lines() const { return m_lines; }

private:
    NSLogSink m_previous;
    std::vector<std::string> m_lines;
};

struct FormatCase {
    const char* name;
    std::string produced;
    const char* expected;
};

} // namespace

TEST(NSStringFormat, ConversionsMatchThePlatform)
{
    LogLines log;
    const char16_t wide[] = u"Zürich";
    const std::vector<FormatCase> cases = {
        { "%@ string", NSString::stringWithFormat("<%@>", std::string("abc")), "<abc>" },
        { "%@ C string", NSString::stringWithFormat("%@", "lit"), "lit" },
        { "%@ number value", NSString::stringWithFormat("%@/%@", Value(3), Value(2.5)), "3/2.5" },
        { "%@ nil", NSString::stringWithFormat("%@", Value()), "(null)" },
        { "%@ nullptr", NSString::stringWithFormat("%@", nullptr), "(null)" },
        { "%@ width", NSString::stringWithFormat("[%-5@|%5@]", std::string("ab"), std::string("ü")), "[ab   |    ü]" },
        { "%d %i", NSString::stringWithFormat("%d %i", -42, 7), "-42 7" },
        { "%d narrows to 32 bits", NSString::stringWithFormat("%d", 0x100000005LL), "5" },
        { "%ld narrows to 32 bits", NSString::stringWithFormat("%ld", 4294967295LL), "-1" },
        { "%li", NSString::stringWithFormat("%li", 12L), "12" },
        { "%lld 64 bits", NSString::stringWithFormat("%lld", LLONG_MIN), "-9223372036854775808" },
        { "%qd 64 bits", NSString::stringWithFormat("%qd", 1LL << 40), "1099511627776" },
        { "%hhd", NSString::stringWithFormat("%hhd", 300), "44" },
        { "%u of negative", NSString::stringWithFormat("%u", -1), "4294967295" },
        { "%lu", NSString::stringWithFormat("%lu", 7UL), "7" },
        { "%llu", NSString::stringWithFormat("%llu", 18446744073709551615ULL), "18446744073709551615" },
        { "%zu", NSString::stringWithFormat("%zu", size_t(9)), "9" },
        { "%x %X", NSString::stringWithFormat("%x %X", 255, 255u), "ff FF" },
        { "%08lx", NSString::stringWithFormat("%08lx", 0xBEEFL), "0000beef" },
        { "%0.6X", NSString::stringWithFormat("%0.6X", 0xABC), "000ABC" },
        { "%02X", NSString::stringWithFormat("%02X", 5), "05" },
        { "%016llx", NSString::stringWithFormat("%016llx", 0x1234ULL), "0000000000001234" },
        { "%10#llx flags after width", NSString::stringWithFormat("[%10#llx]", 0x1234ULL), "[    0x1234]" },
        { "%18#llx", NSString::stringWithFormat("[%18#llx]", 0xffULL), "[              0xff]" },
        { "%0*llx", NSString::stringWithFormat("%0*llx", 8, 0xabcULL), "00000abc" },
        { "%-4ld", NSString::stringWithFormat("[%-4ld]", 3L), "[3   ]" },
        { "%04d", NSString::stringWithFormat("%04d", -7), "-007" },
        { "%o", NSString::stringWithFormat("%o", 8), "10" },
        { "%c", NSString::stringWithFormat("%c%c", 'A', 66), "AB" },
        { "%c Latin-1", NSString::stringWithFormat("%c", 0xE9), "é" },
        { "%C", NSString::stringWithFormat("%C", char16_t(0x00FC)), "ü" },
        { "%s", NSString::stringWithFormat("%s!", "hi"), "hi!" },
        { "%s null", NSString::stringWithFormat("%s", static_cast<const char*>(nullptr)), "(null)" },
        { "%6s", NSString::stringWithFormat("[%6s]", "ab"), "[    ab]" },
        { "%.2s precision", NSString::stringWithFormat("%.2s", "abcdef"), "ab" },
        { "%-35S", NSString::stringWithFormat("[%-8S]", wide), "[Zürich  ]" },
        { "%p", NSString::stringWithFormat("%p", reinterpret_cast<const void*>(0x1f00)), "0x1f00" },
        { "%p null", NSString::stringWithFormat("%p", static_cast<const void*>(nullptr)), "0x0" },
        { "%%", NSString::stringWithFormat("100%% %d", 1), "100% 1" },
        { "%f", NSString::stringWithFormat("%f", 1.5), "1.500000" },
        { "%.0f", NSString::stringWithFormat("%.0f", 2.5), "2" },
        { "%0.1f", NSString::stringWithFormat("%0.1f", 0.25f), "0.2" },
        { "%0.2f", NSString::stringWithFormat("%0.2f", 3.14159), "3.14" },
        { "%0.3f", NSString::stringWithFormat("%0.3f", -0.0005), "-0.001" },
        { "%.*f", NSString::stringWithFormat("%.*f", 2, 1.0), "1.00" },
        { "%1.f", NSString::stringWithFormat("%1.f", 9.7), "10" },
        { "%1.1f", NSString::stringWithFormat("%1.1f", 9.75), "9.8" },
        { "%2.2f", NSString::stringWithFormat("%2.2f", 1.0), "1.00" },
        { "%g", NSString::stringWithFormat("%g", 0.0001), "0.0001" },
        { "%0.1g", NSString::stringWithFormat("%0.1g", 123.0), "1e+02" },
        { "%e", NSString::stringWithFormat("%e", 1500.0), "1.500000e+03" },
        { "positional", NSString::stringWithFormat("%2$@ %1$@", std::string("a"), std::string("b")), "b a" },
        { "extra arguments ignored", NSString::stringWithFormat("x", 1, 2), "x" },
        { "enum as integer", NSString::stringWithFormat("%d", NSOrderedDescending), "1" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.produced, c.expected);
    }
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST(NSStringFormat, MismatchesLogAndKeepTheConversionText)
{
    struct Mismatch {
        const char* name;
        std::string produced;
        const char* expected;
        const char* logged;
    };
    LogLines log;
    std::vector<Mismatch> cases;
    // Each case logs exactly one error, so line i belongs to case i.
    auto add = [&](const char* name, std::string produced, const char* expected, const char* logged) {
        cases.push_back({ name, std::move(produced), expected, logged });
    };
    add("float for %d", NSString::stringWithFormat("a%db", 1.5), "a%db",
        "Format error: \"%d\" does not take a floating-point number in format \"a%db\"");
    add("string for %f", NSString::stringWithFormat("%f", std::string("x")), "%f", "\"%f\" does not take a string");
    add("integer for %@", NSString::stringWithFormat("%@", 5), "%@", "\"%@\" does not take an integer");
    add("object for %s", NSString::stringWithFormat("%s", Value(3)), "%s", "\"%s\" does not take an object");
    add("missing argument", NSString::stringWithFormat("%@ and %d", std::string("one")), "one and %d",
        "\"%d\" has no argument");
    add("missing positional", NSString::stringWithFormat("%3$@", 1), "%3$@", "\"%3$@\" has no argument");
    add("unknown conversion", NSString::stringWithFormat("%y%d", 4), "%y4", "\"%y\" is not a known conversion");
    add("%n never writes", NSString::stringWithFormat("%n", 4), "%n", "\"%n\" is not a known conversion");
    add("incomplete", NSString::stringWithFormat("50%", 4), "50%", "\"%\" is incomplete");
    add("star not an integer", NSString::stringWithFormat("%*d", 1.0, 5), "%*d", "expects an integer for \"*\"");
    add("huge width", NSString::stringWithFormat("%999999999d", 1), "%999999999d", "width or precision above");
    add("pointer for %x", NSString::stringWithFormat("%x", static_cast<const void*>(nullptr)), "%x",
        "does not take a pointer");
    ASSERT_EQ(log.lines().size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(cases[i].produced, cases[i].expected);
        EXPECT_NE(log.lines()[i].find(cases[i].logged), std::string::npos) << log.lines()[i];
    }
    // A mismatched argument is still used up, so the ones after it stay in place.
    EXPECT_EQ(NSString::stringWithFormat("%d-%@", 2.0, std::string("next")), "%d-next");
}

TEST(NSStringFormat, ObjectsPrintTheirDescription)
{
    Ref<NSObject> object = NSObject::init();
    std::string text = NSString::stringWithFormat("%@", object);
    EXPECT_EQ(text, object->description());
    EXPECT_EQ(NSString::stringWithFormat("%p", object),
        NSString::stringWithFormat("%p", static_cast<const void*>(object.get())));
    EXPECT_EQ(NSString::stringWithFormat("%@", Value::array({ Value(1) })), Value::array({ Value(1) }).description());
}

TEST(NSStringFormat, ArbitraryFormatsNeverMisreadTheirArguments)
{
    // Formats assembled from conversion fragments, as an untrusted translation might hold, always
    // give valid UTF-8 and never read past the arguments.
    LogLines log;
    const char* pieces[] = { "%", "d", "l", "ll", "h", "*", ".", "5", "$", "2", "@", "s", "S", "#", "-", "0", "x", "%%",
        "c", "C", "p", "n", "f", "g", "q", "z", "ü", " ", "9999999999" };
    const size_t pieceCount = sizeof pieces / sizeof pieces[0];
    const char16_t wide[] = u"wide";
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string format;
        for (uint32_t n = next() % 8; n > 0; --n)
            format += pieces[next() % pieceCount];
        SCOPED_TRACE(format);
        std::string out = NSString::stringWithFormat(format, 7, -1.5, "text", Value(), wide, 0xE9);
        EXPECT_EQ(NSString::stringWithBytes(out.data(), out.size(), NSUTF8StringEncoding), out);
    }
}
