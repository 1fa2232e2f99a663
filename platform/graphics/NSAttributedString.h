#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSRange.h"
#include "foundation/Value.h"

#include <functional>
#include <string>
#include <vector>

// Text with attributes over ranges of UTF-16 code units. Every position has exactly one
// attribute dictionary (possibly empty); adjacent ranges with equal attributes are merged.
// The mutable operations are those of the platform's mutable attributed string. One thread at
// a time.
class NSAttributedString : public NSObject {
    VX_OBJECT(NSAttributedString, NSObject)
public:
    explicit NSAttributedString(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NSAttributedString> initWithString(const std::string& text, const Value& attributes = {});
    static Ref<NSAttributedString> initWithAttributedString(const Ref<NSAttributedString>& other);

    std::string string() const;
    const std::u16string& utf16() const { return m_text; }
    NSUInteger length() const { return static_cast<NSUInteger>(m_text.size()); }

    // The attributes at `index` and, when asked, the whole range they cover. Raises
    // "NSRangeException" past the end.
    Value attributesAtIndexEffectiveRange(NSUInteger index, NSRange* effectiveRange) const;
    Value attributeAtIndexEffectiveRange(const std::string& name, NSUInteger index, NSRange* effectiveRange) const;
    using AttributesVisitor = std::function<void(const Value& attributes, NSRange range, bool& stop)>;
    void enumerateAttributesInRange(NSRange range, const AttributesVisitor& visitor) const;
    void enumerateAttributeInRange(const std::string& name, NSRange range, const AttributesVisitor& visitor) const;
    Ref<NSAttributedString> attributedSubstringFromRange(NSRange range) const;
    Ref<NSAttributedString> mutableCopy() const { return initWithAttributedString(self_const()); }

    // Mutation.
    void replaceCharactersInRangeWithString(NSRange range, const std::string& text);
    void replaceCharactersInRangeWithAttributedString(NSRange range, const Ref<NSAttributedString>& text);
    void insertAttributedStringAtIndex(const Ref<NSAttributedString>& text, NSUInteger index);
    void appendAttributedString(const Ref<NSAttributedString>& text);
    void deleteCharactersInRange(NSRange range);
    void setAttributedString(const Ref<NSAttributedString>& text);
    void setAttributesRange(const Value& attributes, NSRange range);
    void addAttributeValueRange(const std::string& name, const Value& value, NSRange range);
    void addAttributesRange(const Value& attributes, NSRange range);
    void removeAttributeRange(const std::string& name, NSRange range);
    void beginEditing() { }
    void endEditing() { }

    bool isEqual(const NSObject* other) const override;
    std::string description() const override;

    struct Run {
        NSUInteger location;
        NSUInteger length;
        Value attributes;
    };
    const std::vector<Run>& runs() const { return m_runs; }
    // Replaces the whole content at once with text and its runs, which must be in order, cover
    // the text without gaps and differ from their neighbours (for builders of long texts).
    void setStringAndRuns(std::u16string text, std::vector<Run> runs);

private:
    Ref<NSAttributedString> self_const() const
    {
        return std::const_pointer_cast<NSAttributedString>(
            std::static_pointer_cast<const NSAttributedString>(shared_from_this()));
    }
    void checkRange(NSRange range) const;
    // The index of the run holding `index` (binary search); the run count when there is none.
    size_t runIndexAt(NSUInteger index) const;
    // Splits runs so that `position` starts one; returns that run's index.
    size_t splitAt(NSUInteger position);
    // Joins equal neighbours and drops empty runs among runs first - 1 to last (inclusive).
    void coalesce(size_t first, size_t last);
    template <typename F> void modifyRange(NSRange range, F&& change);

    std::u16string m_text;
    std::vector<Run> m_runs; // contiguous, covering the text; empty for empty text
};
