#pragma once

#include "Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The immutable model objects of a decoded crash report. Plain values shared by reference;
// any thread. Optional texts and dates are std::nullopt when the log did not carry them.

class HBRPMCrashReportProcessorInfo {
public:
    HBRPMCrashReportProcessorInfo(int32_t typeEncoding, uint64_t type, uint64_t subtype)
        : m_typeEncoding(typeEncoding)
        , m_type(type)
        , m_subtype(subtype)
    {
    }
    int32_t typeEncoding() const { return m_typeEncoding; }
    uint64_t type() const { return m_type; }
    uint64_t subtype() const { return m_subtype; }

private:
    int32_t m_typeEncoding;
    uint64_t m_type;
    uint64_t m_subtype;
};

class HBRPMCrashReportSystemInfo {
public:
    HBRPMCrashReportSystemInfo(int32_t operatingSystem, std::string version, std::optional<std::string> build,
        int32_t architecture, std::optional<double> timestamp)
        : m_operatingSystem(operatingSystem)
        , m_version(std::move(version))
        , m_build(std::move(build))
        , m_architecture(architecture)
        , m_timestamp(timestamp)
    {
    }
    int32_t operatingSystem() const { return m_operatingSystem; }
    const std::string& operatingSystemVersion() const { return m_version; }
    const std::optional<std::string>& operatingSystemBuild() const { return m_build; }
    int32_t architecture() const { return m_architecture; }
    // Seconds since 1970; nullopt when the log had 0.
    std::optional<double> timestamp() const { return m_timestamp; }

private:
    int32_t m_operatingSystem;
    std::string m_version;
    std::optional<std::string> m_build;
    int32_t m_architecture;
    std::optional<double> m_timestamp;
};

class HBRPMCrashReportMachineInfo {
public:
    HBRPMCrashReportMachineInfo(std::optional<std::string> modelName, Ref<HBRPMCrashReportProcessorInfo> processor,
        uint32_t processorCount, uint32_t logicalProcessorCount)
        : m_modelName(std::move(modelName))
        , m_processor(std::move(processor))
        , m_processorCount(processorCount)
        , m_logicalProcessorCount(logicalProcessorCount)
    {
    }
    const std::optional<std::string>& modelName() const { return m_modelName; }
    const Ref<HBRPMCrashReportProcessorInfo>& processorInfo() const { return m_processor; }
    uint32_t processorCount() const { return m_processorCount; }
    uint32_t logicalProcessorCount() const { return m_logicalProcessorCount; }

private:
    std::optional<std::string> m_modelName;
    Ref<HBRPMCrashReportProcessorInfo> m_processor;
    uint32_t m_processorCount;
    uint32_t m_logicalProcessorCount;
};

class HBRPMCrashReportApplicationInfo {
public:
    HBRPMCrashReportApplicationInfo(std::string identifier, std::string version)
        : m_identifier(std::move(identifier))
        , m_version(std::move(version))
    {
    }
    const std::string& applicationIdentifier() const { return m_identifier; }
    const std::string& applicationVersion() const { return m_version; }

private:
    std::string m_identifier;
    std::string m_version;
};

class HBRPMCrashReportProcessInfo {
public:
    HBRPMCrashReportProcessInfo(std::optional<std::string> name, uint32_t processID, std::optional<std::string> path,
        std::optional<double> startTime, std::optional<std::string> parentName, uint32_t parentProcessID, bool native)
        : m_name(std::move(name))
        , m_processID(processID)
        , m_path(std::move(path))
        , m_startTime(startTime)
        , m_parentName(std::move(parentName))
        , m_parentProcessID(parentProcessID)
        , m_native(native)
    {
    }
    const std::optional<std::string>& processName() const { return m_name; }
    uint32_t processID() const { return m_processID; }
    const std::optional<std::string>& processPath() const { return m_path; }
    std::optional<double> processStartTime() const { return m_startTime; }
    const std::optional<std::string>& parentProcessName() const { return m_parentName; }
    uint32_t parentProcessID() const { return m_parentProcessID; }
    bool native() const { return m_native; }

private:
    std::optional<std::string> m_name;
    uint32_t m_processID;
    std::optional<std::string> m_path;
    std::optional<double> m_startTime;
    std::optional<std::string> m_parentName;
    uint32_t m_parentProcessID;
    bool m_native;
};

class HBRPMCrashReportSignalInfo {
public:
    HBRPMCrashReportSignalInfo(std::string name, std::string code, uint64_t address)
        : m_name(std::move(name))
        , m_code(std::move(code))
        , m_address(address)
    {
    }
    const std::string& name() const { return m_name; }
    const std::string& code() const { return m_code; }
    uint64_t address() const { return m_address; }

private:
    std::string m_name;
    std::string m_code;
    uint64_t m_address;
};

class HBRPMCrashReportMachExceptionInfo {
public:
    HBRPMCrashReportMachExceptionInfo(uint64_t type, std::vector<uint64_t> codes)
        : m_type(type)
        , m_codes(std::move(codes))
    {
    }
    uint64_t type() const { return m_type; }
    const std::vector<uint64_t>& codes() const { return m_codes; }

private:
    uint64_t m_type;
    std::vector<uint64_t> m_codes;
};

class HBRPMCrashReportSymbolInfo {
public:
    HBRPMCrashReportSymbolInfo(std::string name, uint64_t startAddress, uint64_t endAddress)
        : m_name(std::move(name))
        , m_startAddress(startAddress)
        , m_endAddress(endAddress)
    {
    }
    const std::string& symbolName() const { return m_name; }
    uint64_t startAddress() const { return m_startAddress; }
    uint64_t endAddress() const { return m_endAddress; }

private:
    std::string m_name;
    uint64_t m_startAddress;
    uint64_t m_endAddress;
};

class HBRPMCrashReportStackFrameInfo {
public:
    HBRPMCrashReportStackFrameInfo(uint64_t instructionPointer, Ref<HBRPMCrashReportSymbolInfo> symbol)
        : m_instructionPointer(instructionPointer)
        , m_symbol(std::move(symbol))
    {
    }
    uint64_t instructionPointer() const { return m_instructionPointer; }
    const Ref<HBRPMCrashReportSymbolInfo>& symbolInfo() const { return m_symbol; }

private:
    uint64_t m_instructionPointer;
    Ref<HBRPMCrashReportSymbolInfo> m_symbol;
};

class HBRPMCrashReportRegisterInfo {
public:
    HBRPMCrashReportRegisterInfo(std::string name, uint64_t value)
        : m_name(std::move(name))
        , m_value(value)
    {
    }
    const std::string& registerName() const { return m_name; }
    uint64_t registerValue() const { return m_value; }

private:
    std::string m_name;
    uint64_t m_value;
};

using HBRPMCrashReportFrames = std::vector<Ref<HBRPMCrashReportStackFrameInfo>>;

class HBRPMCrashReportThreadInfo {
public:
    HBRPMCrashReportThreadInfo(int32_t number, HBRPMCrashReportFrames frames, bool crashed,
        std::vector<Ref<HBRPMCrashReportRegisterInfo>> registers)
        : m_number(number)
        , m_frames(std::move(frames))
        , m_crashed(crashed)
        , m_registers(std::move(registers))
    {
    }
    int32_t threadNumber() const { return m_number; }
    const HBRPMCrashReportFrames& stackFrames() const { return m_frames; }
    bool crashed() const { return m_crashed; }
    const std::vector<Ref<HBRPMCrashReportRegisterInfo>>& registers() const { return m_registers; }

private:
    int32_t m_number;
    HBRPMCrashReportFrames m_frames;
    bool m_crashed;
    std::vector<Ref<HBRPMCrashReportRegisterInfo>> m_registers;
};

class HBRPMCrashReportBinaryImageInfo {
public:
    // `uuid`: the image's UUID bytes; empty for none.
    HBRPMCrashReportBinaryImageInfo(Ref<HBRPMCrashReportProcessorInfo> codeType, uint64_t baseAddress, uint64_t size,
        std::string name, const std::vector<uint8_t>& uuid);
    const Ref<HBRPMCrashReportProcessorInfo>& codeType() const { return m_codeType; }
    uint64_t imageBaseAddress() const { return m_baseAddress; }
    uint64_t imageSize() const { return m_size; }
    const std::string& imageName() const { return m_name; }
    bool hasImageUUID() const { return m_uuid.has_value(); }
    // Lower-case hexadecimal, two characters per byte.
    const std::optional<std::string>& imageUUID() const { return m_uuid; }

private:
    Ref<HBRPMCrashReportProcessorInfo> m_codeType;
    uint64_t m_baseAddress;
    uint64_t m_size;
    std::string m_name;
    std::optional<std::string> m_uuid;
};

class HBRPMCrashReportExceptionInfo {
public:
    HBRPMCrashReportExceptionInfo(
        std::string name, std::string reason, std::optional<HBRPMCrashReportFrames> frames = std::nullopt)
        : m_name(std::move(name))
        , m_reason(std::move(reason))
        , m_frames(std::move(frames))
    {
    }
    const std::string& exceptionName() const { return m_name; }
    const std::string& exceptionReason() const { return m_reason; }
    // nullopt when the exception has no frames.
    const std::optional<HBRPMCrashReportFrames>& stackFrames() const { return m_frames; }

private:
    std::string m_name;
    std::string m_reason;
    std::optional<HBRPMCrashReportFrames> m_frames;
};
