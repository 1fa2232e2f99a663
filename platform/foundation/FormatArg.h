#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// One argument of a printf-style format with "%@". The formatter checks each conversion against
// the kind of its argument, so a mismatched format cannot read the wrong thing. Text arguments
// (std::string, string views, C strings, UTF-16 strings) are referenced, not copied: a FormatArg
// lives only for the call that formats it.
struct FormatArg {
    enum class Kind : uint8_t { Signed, Unsigned, Floating, CString, Text, Text16, Pointer, Object };
    Kind kind;
    int64_t i { 0 };
    uint64_t u { 0 };
    double d { 0 };
    const char* s { nullptr };
    const void* p { nullptr };
    std::string_view text;
    std::u16string_view text16;
    Value object; // "%@": strings, numbers, containers, objects; nil prints "(null)"

    FormatArg(bool v)
        : kind(Kind::Signed)
        , i(v)
    {
    }
    FormatArg(char v)
        : kind(Kind::Signed)
        , i(v)
    {
    }
    FormatArg(signed char v)
        : kind(Kind::Signed)
        , i(v)
    {
    }
    FormatArg(unsigned char v)
        : kind(Kind::Unsigned)
        , u(v)
    {
    }
    FormatArg(short v)
        : kind(Kind::Signed)
        , i(v)
    {
    }
    FormatArg(unsigned short v)
        : kind(Kind::Unsigned)
        , u(v)
    {
    }
    FormatArg(int v)
        : kind(Kind::Signed)
        , i(v)
    {
    }
    FormatArg(unsigned v)
        : kind(Kind::Unsigned)
        , u(v)
    {
    }
    FormatArg(long v)
        : kind(Kind::Signed)
        , i(v)
    {
    }
    FormatArg(unsigned long v)
        : kind(Kind::Unsigned)
        , u(v)
    {
    }
    FormatArg(long long v)
        : kind(Kind::Signed)
        , i(v)
    {
    }
    FormatArg(unsigned long long v)
        : kind(Kind::Unsigned)
        , u(v)
    {
    }
    FormatArg(float v)
        : kind(Kind::Floating)
        , d(v)
    {
    }
    FormatArg(double v)
        : kind(Kind::Floating)
        , d(v)
    {
    }
    FormatArg(const char* v)
        : kind(Kind::CString)
        , s(v)
    {
    }
    FormatArg(char* v)
        : kind(Kind::CString)
        , s(v)
    {
    }
    FormatArg(char16_t v)
        : kind(Kind::Unsigned)
        , u(v)
    {
    }
    FormatArg(char32_t v)
        : kind(Kind::Unsigned)
        , u(v)
    {
    }
    FormatArg(const char16_t* v)
        : kind(Kind::Text16)
        , p(v)
    {
        if (v)
            text16 = std::u16string_view(v);
    }
    FormatArg(const std::u16string& v)
        : kind(Kind::Text16)
        , p(v.data())
        , text16(v)
    {
    }
    FormatArg(const void* v)
        : kind(Kind::Pointer)
        , p(v)
    {
    }
    FormatArg(std::nullptr_t)
        : kind(Kind::Object)
    {
    }
    FormatArg(const std::string& v)
        : kind(Kind::Text)
        , text(v)
    {
    }
    FormatArg(std::string_view v)
        : kind(Kind::Text)
        , text(v)
    {
    }
    FormatArg(const Value& v)
        : kind(Kind::Object)
        , object(v)
    {
    }
    template <typename T>
    FormatArg(const Ref<T>& v)
        : kind(Kind::Object)
        , object(Value(v))
    {
    }
    template <typename E, std::enable_if_t<std::is_enum_v<E>, int> = 0>
    FormatArg(E v)
        : FormatArg(static_cast<std::underlying_type_t<E>>(v))
    {
    }
};
