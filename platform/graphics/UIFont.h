#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "graphics/CGGeometry.h"

#include <string>
#include <vector>

// A font: a face from the bundled set at a point size. Platform font names resolve through an
// alias table to the bundled faces; a name the platform does not have gives null. Measurement is
// deterministic (72 dpi, no hinting). Immutable; any thread.
class UIFont : public NSObject {
    VX_OBJECT(UIFont, NSObject)
public:
    struct Face;
    UIFont(Passkey, const Face* face, std::string name, CGFloat size);

    static Ref<UIFont> fontWithNameSize(const std::string& name, CGFloat size);
    static Ref<UIFont> systemFontOfSize(CGFloat size);
    static Ref<UIFont> boldSystemFontOfSize(CGFloat size);
    static Ref<UIFont> italicSystemFontOfSize(CGFloat size);
    static CGFloat systemFontSize() { return 14; }
    static CGFloat smallSystemFontSize() { return 12; }
    static CGFloat labelFontSize() { return 17; }
    static CGFloat buttonFontSize() { return 18; }
    // "UICTFontTextStyleHeadline", "...Body", "...Subhead", "...Footnote", "...Caption1",
    // "...Caption2", sized for the current content-size category; null for other styles.
    static Ref<UIFont> preferredFontForTextStyle(const std::string& style);
    // "UICTContentSizeCategoryL" by default; the host changes it (and posts its notification).
    static std::string contentSizeCategory();
    static void setContentSizeCategory(const std::string& category);

    static std::vector<std::string> familyNames();
    static std::vector<std::string> fontNamesForFamilyName(const std::string& family);

    // Registers a font file's bytes; answers its PostScript name, or an empty string with
    // `error` set when the data is not a font.
    static std::string registerFontData(const std::vector<uint8_t>& data, std::string* error);

    Ref<UIFont> fontWithSize(CGFloat size) const;
    const std::string& fontName() const { return m_name; }
    std::string familyName() const;
    CGFloat pointSize() const { return m_size; }
    CGFloat ascender() const;
    CGFloat descender() const; // negative
    CGFloat leading() const;
    CGFloat lineHeight() const;
    CGFloat capHeight() const;
    CGFloat xHeight() const;
    CGFloat underlinePosition() const; // negative: below the baseline
    CGFloat underlineThickness() const;
    bool isBold() const;
    bool isItalic() const;

    const Face* face() const { return m_face; }
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;

private:
    const Face* m_face;
    std::string m_name;
    CGFloat m_size;
};

inline constexpr const char* UIFontTextStyleHeadline = "UICTFontTextStyleHeadline";
inline constexpr const char* UIFontTextStyleBody = "UICTFontTextStyleBody";
inline constexpr const char* UIFontTextStyleSubheadline = "UICTFontTextStyleSubhead";
inline constexpr const char* UIFontTextStyleFootnote = "UICTFontTextStyleFootnote";
inline constexpr const char* UIFontTextStyleCaption1 = "UICTFontTextStyleCaption1";
inline constexpr const char* UIFontTextStyleCaption2 = "UICTFontTextStyleCaption2";
