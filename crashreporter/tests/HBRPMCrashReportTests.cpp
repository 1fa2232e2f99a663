#include "crashreporter/HBRCrashReportTextFormatter.h"
#include "crashreporter/HBRPMCrashReport.h"
#include "crashreporter/HBRPMCrashReportTextFormatter.h"
#include "crashreporter/pmcrash.pb-c.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// A complete message held in plain storage; cases knock parts out before packing.
struct Fixture {
    Pmcrash__CrashReport report = PMCRASH__CRASH_REPORT__INIT;
    Pmcrash__CrashReport__SystemInfo system = PMCRASH__CRASH_REPORT__SYSTEM_INFO__INIT;
    Pmcrash__CrashReport__ApplicationInfo application = PMCRASH__CRASH_REPORT__APPLICATION_INFO__INIT;
    Pmcrash__CrashReport__ProcessInfo process = PMCRASH__CRASH_REPORT__PROCESS_INFO__INIT;
    Pmcrash__CrashReport__Signal signal = PMCRASH__CRASH_REPORT__SIGNAL__INIT;
    Pmcrash__CrashReport__Signal__MachException mach = PMCRASH__CRASH_REPORT__SIGNAL__MACH_EXCEPTION__INIT;
    Pmcrash__CrashReport__Thread thread = PMCRASH__CRASH_REPORT__THREAD__INIT;
    Pmcrash__CrashReport__Thread* threads[1] = { &thread };
    Pmcrash__CrashReport__Thread__StackFrame frame = PMCRASH__CRASH_REPORT__THREAD__STACK_FRAME__INIT;
    Pmcrash__CrashReport__Thread__StackFrame* frames[1] = { &frame };
    Pmcrash__CrashReport__Thread__RegisterValue reg = PMCRASH__CRASH_REPORT__THREAD__REGISTER_VALUE__INIT;
    Pmcrash__CrashReport__Thread__RegisterValue* regs[1] = { &reg };
    Pmcrash__CrashReport__BinaryImage image = PMCRASH__CRASH_REPORT__BINARY_IMAGE__INIT;
    Pmcrash__CrashReport__BinaryImage* images[1] = { &image };
    Pmcrash__CrashReport__Exception exception = PMCRASH__CRASH_REPORT__EXCEPTION__INIT;
    Pmcrash__CrashReport__ReportInfo info = PMCRASH__CRASH_REPORT__REPORT_INFO__INIT;
    uint8_t uuid[16] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 };
    std::vector<uint64_t> codes { 1, 2 };

    Fixture()
    {
        system.os_version = const_cast<char*>("7.1");
        system.has_timestamp = true;
        system.timestamp = 1700000000;
        report.system_info = &system;
        application.identifier = const_cast<char*>("com.kestravon.volantrix");
        application.version = const_cast<char*>("4.2");
        report.application_info = &application;
        process.process_name = const_cast<char*>("Volantrix");
        report.process_info = &process;
        signal.name = const_cast<char*>("SIGSEGV");
        signal.code = const_cast<char*>("SEGV_MAPERR");
        report.signal = &signal;
        frame.has_pc = true;
        frame.pc = 0x1010;
        thread.n_frames = 1;
        thread.frames = frames;
        reg.name = const_cast<char*>("rip");
        thread.n_registers = 1;
        thread.registers = regs;
        report.n_threads = 1;
        report.threads = threads;
        image.name = const_cast<char*>("/usr/lib/libflight.so");
        image.has_base_address = true;
        image.base_address = 0x1000;
        image.has_size = true;
        image.size = 0x100;
        image.has_uuid = true;
        image.uuid = { 16, uuid };
        report.n_binary_images = 1;
        report.binary_images = images;
        exception.name = const_cast<char*>("NSRangeException");
        exception.reason = const_cast<char*>("index 3 beyond bounds");
        info.has_uuid = true;
        info.uuid = { 16, uuid };
        report.report_info = &info;
    }

    std::vector<uint8_t> bytes() const
    {
        std::vector<uint8_t> out { 'p', 'm', 'c', 'r', 'a', 's', 'h', 1 };
        size_t size = pmcrash__crash_report__get_packed_size(&report);
        out.resize(8 + size);
        pmcrash__crash_report__pack(&report, out.data() + 8);
        return out;
    }
};

std::string errorText(const std::vector<uint8_t>& bytes)
{
    Ref<NSError> error;
    auto report = HBRPMCrashReport::initWithData(bytes, &error);
    if (report)
        return "";
    EXPECT_TRUE(error);
    EXPECT_EQ(error->domain(), "PMCrashReporterErrorDomain");
    EXPECT_EQ(error->code(), 2);
    return error->localizedDescription();
}

TEST(HBRPMCrashReport, RejectsMissingPartsWithTheirOwnText)
{
    struct Case {
        const char* expected;
        std::function<void(Fixture&)> damage;
    };
    const Case cases[] = {
        { "Crash report is missing System Information section", [](Fixture& f) { f.report.system_info = nullptr; } },
        { "Crash report is missing System Information OS version field",
            [](Fixture& f) { f.system.os_version = nullptr; } },
        { "Crash report is missing Application Information section",
            [](Fixture& f) { f.report.application_info = nullptr; } },
        { "Crash report is missing Application Information app identifier field",
            [](Fixture& f) { f.application.identifier = nullptr; } },
        { "Crash report is missing Application Information app version field",
            [](Fixture& f) { f.application.version = nullptr; } },
        { "Crash report is missing Signal Information section", [](Fixture& f) { f.report.signal = nullptr; } },
        { "Crash report is missing signal name field", [](Fixture& f) { f.signal.name = nullptr; } },
        { "Crash report is missing signal code field", [](Fixture& f) { f.signal.code = nullptr; } },
        { "Crash report is missing thread state information", [](Fixture& f) { f.report.n_threads = 0; } },
        { "Missing register name in register value", [](Fixture& f) { f.reg.name = nullptr; } },
        { "Crash report is missing binary image information", [](Fixture& f) { f.report.n_binary_images = 0; } },
        { "Missing image name in image record", [](Fixture& f) { f.image.name = nullptr; } },
        { "Crash report is missing exception name field",
            [](Fixture& f) {
                f.report.exception = &f.exception;
                f.exception.name = nullptr;
            } },
        { "Crash report is missing exception reason field",
            [](Fixture& f) {
                f.report.exception = &f.exception;
                f.exception.reason = nullptr;
            } },
        { "Report UUID value is not a standard 16 bytes", [](Fixture& f) { f.info.uuid.len = 15; } },
        { "Crash report includes too many Mach Exception codes",
            [](Fixture& f) {
                f.codes.assign(256, 7);
                f.mach.n_codes = f.codes.size();
                f.mach.codes = f.codes.data();
                f.signal.mach_exception = &f.mach;
            } },
        { "",
            [](Fixture& f) {
                f.codes.assign(255, 7);
                f.mach.n_codes = f.codes.size();
                f.mach.codes = f.codes.data();
                f.signal.mach_exception = &f.mach;
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        Fixture fixture;
        c.damage(fixture);
        EXPECT_EQ(errorText(fixture.bytes()), c.expected);
    }
}

TEST(HBRPMCrashReport, ChecksTheHeader)
{
    std::vector<uint8_t> header { 'p', 'm', 'c', 'r', 'a', 's', 'h', 1 };
    EXPECT_EQ(errorText(header), "Could not decode truncated crash log");
    auto wrong = Fixture().bytes();
    wrong[0] = 'P';
    EXPECT_EQ(errorText(wrong), "Could not decode invalid crash log header");
    auto version = Fixture().bytes();
    version[7] = 2;
    EXPECT_EQ(errorText(version), "Could not decode unsupported crash report version: 2");
    auto garbage = header;
    garbage.insert(garbage.end(), { 0xff, 0xff, 0xff });
    EXPECT_EQ(errorText(garbage), "An unknown error occured decoding the crash report");
}

TEST(HBRPMCrashReport, DecodesTheModel)
{
    Fixture fixture;
    Ref<NSError> error;
    auto report = HBRPMCrashReport::initWithData(fixture.bytes(), &error);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->images()[0]->imageUUID(), "000102030405060708090a0b0c0d0e0f");
    EXPECT_EQ(report->uuidString(), "00010203-0405-0607-0809-0A0B0C0D0E0F");
    EXPECT_EQ(report->imageForAddress(0x1000), report->images()[0]);
    EXPECT_EQ(report->imageForAddress(0x1100), nullptr);
    EXPECT_FALSE(report->hasExceptionInfo());
    EXPECT_FALSE(report->hasMachineInfo());
    EXPECT_FALSE(report->processInfo()->processStartTime());

    fixture.report.report_info = nullptr;
    fixture.report.exception = &fixture.exception;
    report = HBRPMCrashReport::initWithData(fixture.bytes(), &error);
    ASSERT_TRUE(report);
    EXPECT_FALSE(report->uuidRef());
    ASSERT_TRUE(report->hasExceptionInfo());
    EXPECT_FALSE(report->exceptionInfo()->stackFrames()); // no frames gives none, not an empty list
}

TEST(HBRPMCrashReport, EnumFieldsOutsideTheirValuesReadAsUnknown)
{
    Fixture fixture;
    Pmcrash__CrashReport__MachineInfo machine = PMCRASH__CRASH_REPORT__MACHINE_INFO__INIT;
    Pmcrash__CrashReport__Processor processor = PMCRASH__CRASH_REPORT__PROCESSOR__INIT;
    machine.processor = &processor;
    fixture.report.machine_info = &machine;
    fixture.image.code_type = &processor;
    struct Case {
        int32_t sent;
        int32_t operatingSystem;
        int32_t architecture;
        int32_t encoding;
    } cases[] = {
        { 1, 1, 1, 1 },
        { 2, 2, 2, 0 },
        { 7, 3, 6, 0 },
        { -5, 3, 6, 0 },
        { 0x7FFFFFFF, 3, 6, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        fixture.system.has_operating_system = true;
        fixture.system.operating_system = static_cast<Pmcrash__CrashReport__SystemInfo__OperatingSystem>(c.sent);
        fixture.system.has_architecture = true;
        fixture.system.architecture = static_cast<Pmcrash__Architecture>(c.sent);
        processor.has_encoding = true;
        processor.encoding = static_cast<Pmcrash__CrashReport__Processor__TypeEncoding>(c.sent);
        Ref<NSError> error;
        auto report = HBRPMCrashReport::initWithData(fixture.bytes(), &error);
        ASSERT_TRUE(report);
        EXPECT_EQ(report->systemInfo()->operatingSystem(), c.operatingSystem);
        EXPECT_EQ(report->systemInfo()->architecture(), c.architecture);
        EXPECT_EQ(report->machineInfo()->processorInfo()->typeEncoding(), c.encoding);
        EXPECT_EQ(report->images()[0]->codeType()->typeEncoding(), c.encoding);
    }
}

// The text formatter over a hand-made report: header lines, the column rule, registers and
// image lines.
TEST(HBRCrashReportTextFormatter, WritesTheCrashLogText)
{
    setenv("HOME", "/home/pilot", 1);
    Fixture fixture;
    fixture.process.process_path = const_cast<char*>("/home/pilot/Apps/Volantrix.app/Volantrix");
    fixture.process.has_process_id = true;
    fixture.process.process_id = 42;
    fixture.thread.has_crashed = true;
    fixture.thread.crashed = true;
    Pmcrash__CrashReport__Thread__RegisterValue values[9];
    Pmcrash__CrashReport__Thread__RegisterValue* pointers[9];
    const char* names[9] = { "rip", "rbp", "rsp", "rax", "rbx", "rcx", "rdx", "rdi", "rsi" };
    for (int i = 0; i < 9; ++i) {
        pmcrash__crash_report__thread__register_value__init(&values[i]);
        values[i].name = const_cast<char*>(names[i]);
        values[i].has_value = true;
        values[i].value = static_cast<uint64_t>(i);
        pointers[i] = &values[i];
    }
    fixture.thread.n_registers = 9;
    fixture.thread.registers = pointers;
    Pmcrash__CrashReport__Processor code = PMCRASH__CRASH_REPORT__PROCESSOR__INIT;
    code.has_encoding = true;
    code.encoding = PMCRASH__CRASH_REPORT__PROCESSOR__TYPE_ENCODING__TYPE_ENCODING_MACH;
    code.has_type = true;
    code.type = 0x01000007;
    fixture.image.code_type = &code;
    // 34 characters: cut to 32 plus "... ".
    fixture.image.name = const_cast<char*>("/usr/lib/libairspacedatabaseloader1_64k.sox");
    Pmcrash__CrashReport__Symbol symbol = PMCRASH__CRASH_REPORT__SYMBOL__INIT;
    symbol.name = const_cast<char*>("_ZN4Feed4pollEv");
    symbol.has_start_address = true;
    symbol.start_address = 0x1008;
    fixture.frame.symbol = &symbol;
    fixture.system.operating_system = PMCRASH__CRASH_REPORT__SYSTEM_INFO__OPERATING_SYSTEM__IPHONE_OS;
    fixture.system.has_operating_system = true;

    Ref<NSError> error;
    auto report = HBRPMCrashReport::initWithData(fixture.bytes(), &error);
    ASSERT_TRUE(report);
    std::string text = HBRCrashReportTextFormatter::stringValueForCrashReport(*report, "");
    const char* expectedLines[] = {
        "Incident Identifier: 00010203-0405-0607-0809-0A0B0C0D0E0F\n",
        "CrashReporter Key:   ???\n",
        "Hardware Model:      ???\n",
        "Process:         Volantrix [42]\n",
        "Path:            /Users/USER/Apps/Volantrix.app/Volantrix\n",
        "Code Type:       X86-64\n",
        "Date/Time:       2023-11-14T22:13:20Z\n",
        "OS Version:      iPhone OS 7.1 (?\?\?)\n",
        "Exception Codes: SEGV_MAPERR at 0x0\n",
        "Crashed Thread:  0\n\n",
        "0   libairspacedatabaseloader1_64k.s...  0x0000000000001010 _ZN4Feed4pollEv + 8\n",
        "   rip: 0x0000000000000000    rbp: 0x0000000000000001    rsp: 0x0000000000000002    rax: 0x0000000000000003 "
        "\n",
        "   rsi: 0x0000000000000008 \n\nBinary Images:\n",
        "            0x1000 -             0x10ff  libairspacedatabaseloader1_64k.sox x86_64  "
        "<000102030405060708090a0b0c0d0e0f> /usr/lib/libairspacedatabaseloader1_64k.sox\n",
    };
    for (const char* line : expectedLines) {
        SCOPED_TRACE(line);
        EXPECT_NE(text.find(line), std::string::npos) << text;
    }
    EXPECT_TRUE(text.size() > 0 && text.back() == '\n');

    // The reporter's own formatter: fixed key, raw paths, the plain date, whole image names.
    std::string reporterText
        = HBRPMCrashReportTextFormatter::initWithTextFormatStringEncoding(0, 4).formatReport(*report);
    const char* reporterLines[] = {
        "CrashReporter Key:   TODO\n",
        "Path:            /home/pilot/Apps/Volantrix.app/Volantrix\n",
        "Date/Time:       2023-11-14 22:13:20 +0000\n",
        "0   libairspacedatabaseloader1_64k.sox  0x0000000000001010 _ZN4Feed4pollEv + 8\n",
    };
    for (const char* line : reporterLines) {
        SCOPED_TRACE(line);
        EXPECT_NE(reporterText.find(line), std::string::npos) << reporterText;
    }
}

TEST(HBRCrashReportTextFormatter, NamesArchitectures)
{
    struct Case {
        uint64_t type;
        uint64_t subtype;
        const char* name;
    };
    const Case cases[] = { { 12, 9, "armv7" }, { 12, 11, "armv7s" }, { 12, 3, "arm-unknown" }, { 7, 3, "i386" },
        { 0x0100000C, 13, "arm64" }, { 0x0100000C, 2, "arm64-unknown" }, { 0x01000007, 3, "x86_64" },
        { 99, 0, "???" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HBRPMCrashReportBinaryImageInfo image(
            std::make_shared<HBRPMCrashReportProcessorInfo>(1, c.type, c.subtype), 0, 0, "x", {});
        EXPECT_EQ(HBRCrashReportTextFormatter::archNameFromImageInfo(image), c.name);
    }
}

} // namespace
