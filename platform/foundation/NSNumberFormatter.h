#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <memory>
#include <string>

enum NSNumberFormatterStyle : uint32_t {
    NSNumberFormatterNoStyle = 0,
    NSNumberFormatterDecimalStyle = 1,
    NSNumberFormatterCurrencyStyle = 2,
    NSNumberFormatterPercentStyle = 3,
    NSNumberFormatterScientificStyle = 4,
    NSNumberFormatterSpellOutStyle = 5,
};

enum NSNumberFormatterRoundingMode : uint32_t {
    NSNumberFormatterRoundCeiling = 0,
    NSNumberFormatterRoundFloor = 1,
    NSNumberFormatterRoundDown = 2,
    NSNumberFormatterRoundUp = 3,
    NSNumberFormatterRoundHalfEven = 4,
    NSNumberFormatterRoundHalfDown = 5,
    NSNumberFormatterRoundHalfUp = 6,
};

// Writes numbers as text and reads them back in a locale's conventions. Each style brings its
// defaults (no style: whole numbers without grouping; decimal: up to three fraction digits with
// the locale's grouping; percent; currency; scientific; spelled out). Setting the style resets
// the properties below to that style's defaults; each property set afterwards overrides it.
// Rounding is half-even unless set. Parsing must consume the whole text.
// Any thread: calls are serialised on the formatter.
class NSNumberFormatter final : public NSObject {
    VX_OBJECT(NSNumberFormatter, NSObject)
public:
    struct Impl;
    explicit NSNumberFormatter(Passkey);
    ~NSNumberFormatter() override;
    // No style, current locale.
    static Ref<NSNumberFormatter> init();

    NSNumberFormatterStyle numberStyle() const;
    void setNumberStyle(NSNumberFormatterStyle style);
    Ref<NSLocale> locale() const;
    void setLocale(Ref<NSLocale> locale); // nullptr means the current locale
    bool usesGroupingSeparator() const;
    void setUsesGroupingSeparator(bool uses);
    std::string groupingSeparator() const;
    void setGroupingSeparator(const std::string& separator);
    NSUInteger groupingSize() const;
    void setGroupingSize(NSUInteger size);
    std::string decimalSeparator() const;
    void setDecimalSeparator(const std::string& separator);
    NSUInteger minimumFractionDigits() const;
    void setMinimumFractionDigits(NSUInteger digits);
    NSUInteger maximumFractionDigits() const;
    void setMaximumFractionDigits(NSUInteger digits);
    NSUInteger minimumIntegerDigits() const;
    void setMinimumIntegerDigits(NSUInteger digits);
    NSUInteger maximumIntegerDigits() const;
    void setMaximumIntegerDigits(NSUInteger digits);
    NSNumberFormatterRoundingMode roundingMode() const;
    void setRoundingMode(NSNumberFormatterRoundingMode mode);
    bool isLenient() const;
    void setLenient(bool lenient);

    // "" when the value is not a number.
    std::string stringFromNumber(const Value& number) const;
    // A number (an integer when the text has no fraction), or nil when the text is not one.
    Value numberFromString(const std::string& string) const;

    static std::string localizedStringFromNumberNumberStyle(const Value& number, NSNumberFormatterStyle style);

private:
    std::unique_ptr<Impl> m_impl;
};
