#include "crashreporter/HBRCrashReportTextFormatter.h"

#include "crashreporter/CrashReportText.h"

#include "foundation/NSLog.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr uint64_t kCpuX86 = 7, kCpuArm = 12, kCpuPpc = 18, kCpuX86_64 = 0x01000007, kCpuArm64 = 0x0100000C;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out(static_cast<size_t>(length > 0 ? length : 0), '\0');
    std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    va_end(args);
    return out;
}

std::string orUnknown(const std::optional<std::string>& s)
{
    return s ? *s : std::string("???");
}

std::string lastPathComponent(const std::string& path)
{
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Replaces the user's home directory with "/Users/USER" so the real one is never shown.
std::string maskHome(const std::string& path)
{
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return path;
    std::string prefix(home);
    while (prefix.size() > 1 && prefix.back() == '/')
        prefix.pop_back();
    if (path == prefix)
        return "/Users/USER";
    if (path.compare(0, prefix.size(), prefix) == 0 && path.size() > prefix.size() && path[prefix.size()] == '/')
        return "/Users/USER" + path.substr(prefix.size());
    return path;
}

// The process path without its last two components: the directory that holds the bundle.
std::string containerDirectory(const std::string& processPath)
{
    std::string p = processPath;
    for (int i = 0; i < 2; ++i) {
        auto slash = p.find_last_of('/');
        if (slash == std::string::npos)
            return std::string();
        p = p.substr(0, slash);
    }
    return p;
}

bool isAppImage(const HBRPMCrashReport& report, const HBRPMCrashReportBinaryImageInfo& image,
    const CrashReportTextStyle& style = {})
{
    if (style.exactAppMarker)
        return report.hasProcessInfo() && report.processInfo()->processPath()
            && image.imageName() == *report.processInfo()->processPath();
    if (!report.hasProcessInfo() || !report.processInfo()->processPath())
        return false;
    const std::string& processPath = *report.processInfo()->processPath();
    if (image.imageName() == processPath)
        return true;
    std::string container = containerDirectory(processPath);
    return !container.empty() && image.imageName().compare(0, container.size() + 1, container + "/") == 0;
}

struct CodeType {
    std::string name;
    bool lp64;
};

CodeType codeTypeOf(const HBRPMCrashReport& report)
{
    for (const auto& image : report.images()) {
        const auto& code = image->codeType();
        if (!code || code->typeEncoding() != 1)
            continue;
        switch (code->type()) {
        case kCpuX86:
            return { "X86", false };
        case kCpuArm:
            return { "ARM", false };
        case kCpuPpc:
            return { "PPC", false };
        case kCpuX86_64:
            return { "X86-64", true };
        case kCpuArm64:
            return { "ARM-64", true };
        default:
            break;
        }
    }
    switch (report.systemInfo()->architecture()) {
    case 0:
        return { "X86", false };
    case 1:
        return { "X86-64", true };
    case 2:
    case 5:
        return { "ARM", false };
    case 3:
        return { "PPC", false };
    default:
        return { format("Unknown (%d)", report.systemInfo()->architecture()), true };
    }
}

std::string osName(int32_t os)
{
    switch (os) {
    case 0:
    case 2:
        return "Mac OS X";
    case 1:
        return "iPhone OS";
    default:
        return format("Unknown (%d)", os);
    }
}

// The image column of a frame line: names of up to 33 characters are filled to 36 columns,
// longer ones cut to 32 characters followed by "... ". Widths count UTF-16 units.
std::string imageColumn(const std::string& name)
{
    // Walk UTF-8 sequences, counting UTF-16 units; characters outside the basic plane take two.
    size_t units = 0;
    size_t cutAt = std::string::npos;
    for (size_t i = 0; i < name.size();) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        size_t bytes = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        size_t width = bytes == 4 ? 2 : 1;
        if (units + width - 1 >= 33 && cutAt == std::string::npos) {
            cutAt = i;
            break;
        }
        units += width;
        i += bytes;
    }
    if (cutAt != std::string::npos) {
        // Keep the first k - 1 units, where k is the index of the sequence's last unit.
        size_t keepUnits = 32;
        size_t kept = 0, i = 0;
        while (i < name.size()) {
            unsigned char c = static_cast<unsigned char>(name[i]);
            size_t bytes = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            size_t width = bytes == 4 ? 2 : 1;
            if (kept + width > keepUnits)
                break;
            kept += width;
            i += bytes;
        }
        return name.substr(0, i) + "... ";
    }
    return name + std::string(36 - units, ' ');
}

} // namespace

std::string HBRCrashReportTextFormatter::archNameFromImageInfo(const HBRPMCrashReportBinaryImageInfo& image)
{
    return crashReportArchName(image, {});
}

std::string crashReportArchName(const HBRPMCrashReportBinaryImageInfo& image, const CrashReportTextStyle& style)
{
    const auto& code = image.codeType();
    if (!code || code->typeEncoding() != 1)
        return "???";
    switch (code->type()) {
    case kCpuX86:
        return "i386";
    case kCpuArm:
        switch (code->subtype()) {
        case 6:
            return "armv6";
        case 9:
            return "armv7";
        case 11:
            return "armv7s";
        default:
            return "arm-unknown";
        }
    case kCpuPpc:
        return "powerpc";
    case kCpuX86_64:
        return "x86_64";
    case kCpuArm64:
        if (style.armv8Subtype && code->subtype() == 13)
            return "armv8";
        return code->subtype() == 0 || code->subtype() == 13 ? "arm64" : "arm64-unknown";
    default:
        return "???";
    }
}

std::string HBRCrashReportTextFormatter::formatStackFrame(
    const HBRPMCrashReportStackFrameInfo& frame, long index, const HBRPMCrashReport& report, bool lp64)
{
    return crashReportFrameLine(frame, index, report, lp64, {});
}

std::string crashReportFrameLine(const HBRPMCrashReportStackFrameInfo& frame, long index,
    const HBRPMCrashReport& report, bool lp64, const CrashReportTextStyle& style)
{
    uint64_t pc = frame.instructionPointer();
    auto image = report.imageForAddress(pc);
    std::string column = image ? lastPathComponent(image->imageName()) : "???";
    uint64_t base = image ? image->imageBaseAddress() : 0;
    uint64_t offset = image ? pc - base : 0;
    std::string symbol;
    const auto& info = frame.symbolInfo();
    if (info && image && (style.symbolsInAppImages || !isAppImage(report, *image, style))) {
        std::string name = info->symbolName();
        int32_t os = report.systemInfo()->operatingSystem();
        // ELF symbols (the x86_64 images here) carry no leading underscore of their own, and
        // stripping one would damage C++ names.
        bool elf = image->codeType() && image->codeType()->type() == kCpuX86_64;
        if (os >= 0 && os <= 2) {
            if (!elf && name.size() > 1 && name[0] == '_')
                name = name.substr(1);
        } else {
            NSLog("Symbol prefix rules are unknown for this OS!");
        }
        symbol = format("%s + %lld", name.c_str(), static_cast<long long>(pc - info->startAddress()));
    } else {
        symbol = format("0x%llx + %lld", static_cast<unsigned long long>(base), static_cast<long long>(offset));
    }
    return format("%-4ld%-35s 0x%0*llx %s\n", index,
        style.plainImageColumn ? column.c_str() : imageColumn(column).c_str(), lp64 ? 16 : 8,
        static_cast<unsigned long long>(pc), symbol.c_str());
}

std::string HBRCrashReportTextFormatter::stringValueForCrashReport(
    const HBRPMCrashReport& report, const std::string& key)
{
    return crashReportText(report, key, {});
}

std::string crashReportText(const HBRPMCrashReport& report, const std::string& key, const CrashReportTextStyle& style)
{
    auto mask = [&](const std::string& path) { return style.maskHome ? maskHome(path) : path; };
    std::string text;
    const auto& process = report.processInfo();
    CodeType code = codeTypeOf(report);

    text += format("Incident Identifier: %s\n", orUnknown(report.uuidString()).c_str());
    if (style.fixedKey)
        text += "CrashReporter Key:   TODO\n";
    else
        text += format("CrashReporter Key:   %s\n", key.empty() ? "???" : key.c_str());
    text += format("Hardware Model:      %s\n",
        report.hasMachineInfo() ? orUnknown(report.machineInfo()->modelName()).c_str() : "???");
    text += format("Process:         %s [%s]\n", process ? orUnknown(process->processName()).c_str() : "???",
        process ? std::to_string(process->processID()).c_str() : "???");
    std::string path
        = process && process->processPath() && !process->processPath()->empty() ? mask(*process->processPath()) : "???";
    text += format("Path:            %s\n", path.c_str());
    text += format("Identifier:      %s\n", report.applicationInfo()->applicationIdentifier().c_str());
    text += format("Version:         %s\n", report.applicationInfo()->applicationVersion().c_str());
    text += format("Code Type:       %s\n", code.name.c_str());
    text += format("Parent Process:  %s [%s]\n", process ? orUnknown(process->parentProcessName()).c_str() : "???",
        process ? std::to_string(process->parentProcessID()).c_str() : "???");
    text += "\n";
    std::string date = "???";
    if (auto timestamp = report.systemInfo()->timestamp()) {
        time_t seconds = static_cast<time_t>(*timestamp);
        struct tm parts;
        gmtime_r(&seconds, &parts);
        char buffer[32];
        std::strftime(
            buffer, sizeof(buffer), style.plainDate ? "%Y-%m-%d %H:%M:%S +0000" : "%Y-%m-%dT%H:%M:%SZ", &parts);
        date = buffer;
    }
    text += format("Date/Time:       %s\n", date.c_str());
    text += format("OS Version:      %s %s (%s)\n", osName(report.systemInfo()->operatingSystem()).c_str(),
        report.systemInfo()->operatingSystemVersion().c_str(),
        orUnknown(report.systemInfo()->operatingSystemBuild()).c_str());
    text += "Report Version:  104\n\n";
    text += format("Exception Type:  %s\n", report.signalInfo()->name().c_str());
    text += format("Exception Codes: %s at 0x%llx\n", report.signalInfo()->code().c_str(),
        static_cast<unsigned long long>(report.signalInfo()->address()));
    for (const auto& thread : report.threads()) {
        if (thread->crashed()) {
            text += format("Crashed Thread:  %ld\n", static_cast<long>(thread->threadNumber()));
            break;
        }
    }
    text += "\n";
    if (report.hasExceptionInfo()) {
        const auto& exception = report.exceptionInfo();
        text += "Application Specific Information:\n";
        text += format("*** Terminating app due to uncaught exception '%s', reason: '%s'\n",
            exception->exceptionName().c_str(), exception->exceptionReason().c_str());
        text += "\n";
        if (exception->stackFrames() && !exception->stackFrames()->empty()) {
            text += "Last Exception Backtrace:\n";
            long index = 0;
            for (const auto& frame : *exception->stackFrames())
                text += crashReportFrameLine(*frame, index++, report, code.lp64, style);
            text += "\n";
        }
    }
    Ref<HBRPMCrashReportThreadInfo> lastCrashed;
    for (const auto& thread : report.threads()) {
        if (thread->crashed()) {
            text += format("Thread %ld Crashed:\n", static_cast<long>(thread->threadNumber()));
            lastCrashed = thread;
        } else {
            text += format("Thread %ld:\n", static_cast<long>(thread->threadNumber()));
        }
        long index = 0;
        for (const auto& frame : thread->stackFrames())
            text += crashReportFrameLine(*frame, index++, report, code.lp64, style);
        text += "\n";
    }
    if (lastCrashed) {
        text += format("Thread %ld crashed with %s Thread State:\n", static_cast<long>(lastCrashed->threadNumber()),
            code.name.c_str());
        bool armProcessor = report.hasMachineInfo() && report.machineInfo()->processorInfo()
            && report.machineInfo()->processorInfo()->typeEncoding() == 1
            && (report.machineInfo()->processorInfo()->type() & 0x00ffffff) == kCpuArm;
        size_t count = 0;
        for (const auto& reg : lastCrashed->registers()) {
            std::string name = reg->registerName();
            if (name == "r12" && armProcessor)
                name = "ip";
            text += code.lp64
                ? format("%6s: 0x%016llx ", name.c_str(), static_cast<unsigned long long>(reg->registerValue()))
                : format("%6s: 0x%08llx ", name.c_str(), static_cast<unsigned long long>(reg->registerValue()));
            if (++count % 4 == 0)
                text += "\n";
        }
        if (count % 4 != 0)
            text += "\n";
        text += "\n";
    }
    text += "Binary Images:\n";
    auto images = report.images();
    std::stable_sort(images.begin(), images.end(),
        [](const auto& a, const auto& b) { return a->imageBaseAddress() < b->imageBaseAddress(); });
    for (const auto& image : images) {
        uint64_t base = image->imageBaseAddress();
        uint64_t end = image->imageSize() > 1 ? base + image->imageSize() - 1 : base;
        std::string marker = isAppImage(report, *image, style) ? "+" : " ";
        std::string uuid = image->imageUUID() ? *image->imageUUID() : "???";
        text += format(code.lp64 ? "%#18llx - %#18llx %s%s %s  <%s> %s\n" : "%#10llx - %#10llx %s%s %s  <%s> %s\n",
            static_cast<unsigned long long>(base), static_cast<unsigned long long>(end), marker.c_str(),
            lastPathComponent(image->imageName()).c_str(), crashReportArchName(*image, style).c_str(), uuid.c_str(),
            mask(image->imageName()).c_str());
    }
    return text;
}

std::vector<HBRCrashReportTextFormatter::AppUUID> HBRCrashReportTextFormatter::arrayOfAppUUIDsForCrashReport(
    const HBRPMCrashReport& report)
{
    auto images = report.images();
    std::stable_sort(images.begin(), images.end(),
        [](const auto& a, const auto& b) { return a->imageBaseAddress() < b->imageBaseAddress(); });
    std::vector<AppUUID> result;
    std::string processPath
        = report.hasProcessInfo() && report.processInfo()->processPath() ? *report.processInfo()->processPath() : "";
    for (const auto& image : images) {
        if (!isAppImage(report, *image))
            continue;
        result.push_back({ image->imageUUID() ? *image->imageUUID() : "???", archNameFromImageInfo(*image),
            image->imageName() == processPath ? "app" : "framework" });
    }
    return result;
}
