#include "crashreporter/HBRPMCrashReport.h"

#include "crashreporter/PMCrashReporterError.h"
#include "crashreporter/pmcrash.pb-c.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using Message = Pmcrash__CrashReport;

struct MessageDeleter {
    void operator()(Message* message) const { pmcrash__crash_report__free_unpacked(message, nullptr); }
};

// Fails with code 2 and `text`; returns null so callers can `return fail(...)`.
std::nullptr_t fail(Ref<NSError>* error, const std::string& text)
{
    pmcrash_populate_error(error, PMCrashReporterErrorCrashReportInvalid, text);
    return nullptr;
}

// An enum field as read from the wire holds whatever number was sent. A value the format does not
// define reads as the field's "unknown" value, as an unknown enum value does in the format's own
// rules, so later code only ever sees defined values.
// The field is read as its raw integer: loading an enum object that holds a number outside its
// enumerators is undefined, and the decoder stores whatever number the log carries.
template <typename Enum> int32_t knownEnumValue(const Enum& field, int32_t highest, int32_t unknown)
{
    static_assert(sizeof(Enum) == sizeof(int32_t), "the decoder stores enums as 32-bit integers");
    int32_t value;
    std::memcpy(&value, &field, sizeof(value));
    return value >= 0 && value <= highest ? value : unknown;
}

std::optional<std::string> optionalString(const char* s)
{
    return s ? std::optional<std::string>(s) : std::nullopt;
}

Ref<HBRPMCrashReportProcessorInfo> extractProcessorInfo(
    const Pmcrash__CrashReport__Processor* processor, Ref<NSError>* error)
{
    if (!processor)
        return fail(error, "Crash report is missing processor info section");
    int32_t encoding
        = knownEnumValue(processor->encoding, PMCRASH__CRASH_REPORT__PROCESSOR__TYPE_ENCODING__TYPE_ENCODING_MACH,
            PMCRASH__CRASH_REPORT__PROCESSOR__TYPE_ENCODING__TYPE_ENCODING_UNKNOWN);
    return std::make_shared<HBRPMCrashReportProcessorInfo>(encoding, processor->type, processor->subtype);
}

Ref<HBRPMCrashReportSymbolInfo> extractSymbolInfo(const Pmcrash__CrashReport__Symbol* symbol, Ref<NSError>* error)
{
    if (!symbol)
        return fail(error, "Crash report is missing symbol information");
    return std::make_shared<HBRPMCrashReportSymbolInfo>(
        symbol->name ? symbol->name : "", symbol->start_address, symbol->has_end_address ? symbol->end_address : 0);
}

Ref<HBRPMCrashReportStackFrameInfo> extractStackFrameInfo(
    const Pmcrash__CrashReport__Thread__StackFrame* frame, Ref<NSError>* error)
{
    if (!frame)
        return fail(error, "Crash report is missing stack frame information");
    Ref<HBRPMCrashReportSymbolInfo> symbol;
    if (frame->symbol) {
        symbol = extractSymbolInfo(frame->symbol, error);
        if (!symbol)
            return nullptr;
    }
    return std::make_shared<HBRPMCrashReportStackFrameInfo>(frame->pc, symbol);
}

std::optional<HBRPMCrashReportFrames> extractFrames(
    Pmcrash__CrashReport__Thread__StackFrame** frames, size_t count, Ref<NSError>* error)
{
    HBRPMCrashReportFrames result;
    for (size_t i = 0; i < count; ++i) {
        auto frame = extractStackFrameInfo(frames[i], error);
        if (!frame)
            return std::nullopt;
        result.push_back(frame);
    }
    return result;
}

} // namespace

Ref<HBRPMCrashReport> HBRPMCrashReport::initWithData(const std::vector<uint8_t>& data, Ref<NSError>* error)
{
    if (data.size() <= 8)
        return fail(error, "Could not decode truncated crash log");
    if (std::memcmp(data.data(), "pmcrash", 7) != 0)
        return fail(error, "Could not decode invalid crash log header");
    if (data[7] != 1) {
        char text[128];
        std::snprintf(text, sizeof(text), "Could not decode unsupported crash report version: %d", data[7]);
        return fail(error, text);
    }
    std::unique_ptr<Message, MessageDeleter> message(
        pmcrash__crash_report__unpack(nullptr, data.size() - 8, data.data() + 8));
    if (!message)
        return fail(error, "An unknown error occured decoding the crash report");

    auto report = std::make_shared<HBRPMCrashReport>();
    if (message->report_info && message->report_info->has_uuid) {
        if (message->report_info->uuid.len != 16) {
            pmcrash_populate_error(
                error, PMCrashReporterErrorCrashReportInvalid, "Report UUID value is not a standard 16 bytes");
            return nullptr;
        }
        std::array<uint8_t, 16> uuid;
        std::memcpy(uuid.data(), message->report_info->uuid.data, 16);
        report->m_uuid = uuid;
    }

    // System information (required).
    const auto* system = message->system_info;
    if (!system)
        return fail(error, "Crash report is missing System Information section");
    if (!system->os_version)
        return fail(error, "Crash report is missing System Information OS version field");
    std::optional<double> timestamp;
    if (system->timestamp != 0)
        timestamp = static_cast<double>(system->timestamp);
    int32_t operatingSystem
        = knownEnumValue(system->operating_system, PMCRASH__CRASH_REPORT__SYSTEM_INFO__OPERATING_SYSTEM__OS_UNKNOWN,
            PMCRASH__CRASH_REPORT__SYSTEM_INFO__OPERATING_SYSTEM__OS_UNKNOWN);
    int32_t architecture = knownEnumValue(
        system->architecture, PMCRASH__ARCHITECTURE__ARCHITECTURE_UNKNOWN, PMCRASH__ARCHITECTURE__ARCHITECTURE_UNKNOWN);
    report->m_systemInfo = std::make_shared<HBRPMCrashReportSystemInfo>(
        operatingSystem, system->os_version, optionalString(system->os_build), architecture, timestamp);

    // Machine information (optional section).
    if (const auto* machine = message->machine_info) {
        Ref<HBRPMCrashReportProcessorInfo> processor;
        if (machine->processor) {
            processor = extractProcessorInfo(machine->processor, error);
            if (!processor)
                return nullptr;
        }
        report->m_machineInfo = std::make_shared<HBRPMCrashReportMachineInfo>(
            optionalString(machine->model), processor, machine->processor_count, machine->logical_processor_count);
    }

    // Application information (required).
    const auto* application = message->application_info;
    if (!application)
        return fail(error, "Crash report is missing Application Information section");
    if (!application->identifier)
        return fail(error, "Crash report is missing Application Information app identifier field");
    if (!application->version)
        return fail(error, "Crash report is missing Application Information app version field");
    report->m_applicationInfo
        = std::make_shared<HBRPMCrashReportApplicationInfo>(application->identifier, application->version);

    // Process information (optional section).
    if (const auto* process = message->process_info) {
        std::optional<double> start;
        if (process->has_start_time)
            start = static_cast<double>(process->start_time);
        report->m_processInfo = std::make_shared<HBRPMCrashReportProcessInfo>(optionalString(process->process_name),
            process->process_id, optionalString(process->process_path), start,
            optionalString(process->parent_process_name), process->parent_process_id, process->native);
    }

    // Signal (required) and its Mach exception (optional).
    const auto* signal = message->signal;
    if (!signal)
        return fail(error, "Crash report is missing Signal Information section");
    if (!signal->name)
        return fail(error, "Crash report is missing signal name field");
    if (!signal->code)
        return fail(error, "Crash report is missing signal code field");
    report->m_signalInfo = std::make_shared<HBRPMCrashReportSignalInfo>(signal->name, signal->code, signal->address);
    if (const auto* mach = signal->mach_exception) {
        if (mach->n_codes >= 256)
            return fail(error, "Crash report includes too many Mach Exception codes");
        report->m_machExceptionInfo = std::make_shared<HBRPMCrashReportMachExceptionInfo>(
            mach->type, std::vector<uint64_t>(mach->codes, mach->codes + mach->n_codes));
    }

    // Threads.
    if (message->n_threads == 0)
        return fail(error, "Crash report is missing thread state information");
    for (size_t i = 0; i < message->n_threads; ++i) {
        const auto* thread = message->threads[i];
        auto frames = extractFrames(thread->frames, thread->n_frames, error);
        if (!frames)
            return nullptr;
        std::vector<Ref<HBRPMCrashReportRegisterInfo>> registers;
        for (size_t r = 0; r < thread->n_registers; ++r) {
            const auto* value = thread->registers[r];
            if (!value->name) {
                pmcrash_populate_error(
                    error, PMCrashReporterErrorCrashReportInvalid, "Missing register name in register value");
                return nullptr;
            }
            registers.push_back(std::make_shared<HBRPMCrashReportRegisterInfo>(value->name, value->value));
        }
        report->m_threads.push_back(std::make_shared<HBRPMCrashReportThreadInfo>(
            static_cast<int32_t>(thread->thread_number), std::move(*frames), thread->crashed, std::move(registers)));
    }

    // Images.
    if (message->n_binary_images == 0)
        return fail(error, "Crash report is missing binary image information");
    for (size_t i = 0; i < message->n_binary_images; ++i) {
        const auto* image = message->binary_images[i];
        if (!image->name) {
            pmcrash_populate_error(error, PMCrashReporterErrorCrashReportInvalid, "Missing image name in image record");
            return nullptr;
        }
        std::vector<uint8_t> uuid;
        if (image->has_uuid && image->uuid.len > 0)
            uuid.assign(image->uuid.data, image->uuid.data + image->uuid.len);
        Ref<HBRPMCrashReportProcessorInfo> codeType;
        if (image->code_type) {
            codeType = extractProcessorInfo(image->code_type, error);
            if (!codeType)
                return nullptr;
        }
        report->m_images.push_back(std::make_shared<HBRPMCrashReportBinaryImageInfo>(
            codeType, image->base_address, image->size, image->name, uuid));
    }

    // Uncaught exception (optional section).
    if (const auto* exception = message->exception) {
        if (!exception->name)
            return fail(error, "Crash report is missing exception name field");
        if (!exception->reason)
            return fail(error, "Crash report is missing exception reason field");
        std::optional<HBRPMCrashReportFrames> frames;
        if (exception->n_frames > 0) {
            frames = extractFrames(exception->frames, exception->n_frames, error);
            if (!frames)
                return nullptr;
        }
        report->m_exceptionInfo
            = std::make_shared<HBRPMCrashReportExceptionInfo>(exception->name, exception->reason, frames);
    }
    return report;
}

std::optional<std::string> HBRPMCrashReport::uuidString() const
{
    if (!m_uuid)
        return std::nullopt;
    const auto& u = *m_uuid;
    char text[40];
    std::snprintf(text, sizeof(text), "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", u[0],
        u[1], u[2], u[3], u[4], u[5], u[6], u[7], u[8], u[9], u[10], u[11], u[12], u[13], u[14], u[15]);
    return std::string(text);
}

Ref<HBRPMCrashReportBinaryImageInfo> HBRPMCrashReport::imageForAddress(uint64_t address) const
{
    for (const auto& image : m_images) {
        if (address >= image->imageBaseAddress() && address - image->imageBaseAddress() < image->imageSize())
            return image;
    }
    return nullptr;
}
