#pragma once

#include "foundation/FoundationForward.h"

#include <memory>
#include <string_view>

// An immutable set of Unicode scalar values, with the platform's standard sets. Membership is
// tested on whole code points (UTF-32). Copies share the same storage. Any thread.
class NSCharacterSet {
public:
    // Tab and the space separators (Unicode category Zs).
    static NSCharacterSet whitespaceCharacterSet();
    // Every separator (category Z), tab, U+000A to U+000D and U+0085.
    static NSCharacterSet whitespaceAndNewlineCharacterSet();
    // U+000A to U+000D, U+0085, U+2028 and U+2029.
    static NSCharacterSet newlineCharacterSet();
    // Decimal digits of every script (category Nd).
    static NSCharacterSet decimalDigitCharacterSet();
    // Letters and marks (categories L and M).
    static NSCharacterSet letterCharacterSet();
    static NSCharacterSet lowercaseLetterCharacterSet();
    static NSCharacterSet uppercaseLetterCharacterSet(); // Lu and Lt
    // Letters, marks and numbers (categories L, M and N).
    static NSCharacterSet alphanumericCharacterSet();
    static NSCharacterSet punctuationCharacterSet(); // category P
    static NSCharacterSet symbolCharacterSet(); // category S
    static NSCharacterSet controlCharacterSet(); // categories Cc and Cf
    // Characters that may stand unescaped in each part of a URL (RFC 3986).
    static NSCharacterSet URLQueryAllowedCharacterSet();
    static NSCharacterSet URLFragmentAllowedCharacterSet();
    static NSCharacterSet URLPathAllowedCharacterSet();
    static NSCharacterSet URLHostAllowedCharacterSet();
    // The code points of a UTF-8 string.
    static NSCharacterSet characterSetWithCharactersInString(std::string_view characters);
    // Code points from `first` to `last` inclusive.
    static NSCharacterSet characterSetWithRange(char32_t first, char32_t last);

    NSCharacterSet invertedSet() const;
    NSCharacterSet unionWith(const NSCharacterSet& other) const;

    bool characterIsMember(char32_t character) const;
    bool longCharacterIsMember(char32_t character) const { return characterIsMember(character); }

    struct Storage;

private:
    explicit NSCharacterSet(std::shared_ptr<const Storage> storage);
    std::shared_ptr<const Storage> m_storage;
};
