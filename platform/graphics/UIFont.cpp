#include "graphics/UIFont.h"

#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "graphics/TextEnginePrivate.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fontconfig/fontconfig.h>
#include <map>
#include <pango/pangofc-fontmap.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct BundledFile {
    const char* file;
    const char* engineFamily;
    PangoWeight weight;
    PangoStyle style;
};

// The faces every machine has the same copy of: Liberation (metric-compatible with the
// platform's Helvetica/Arial, Times and Courier) and DejaVu Sans for every other face.
const BundledFile kBundled[] = {
    { "LiberationSans-Regular.ttf", "Liberation Sans", PANGO_WEIGHT_NORMAL, PANGO_STYLE_NORMAL },
    { "LiberationSans-Bold.ttf", "Liberation Sans", PANGO_WEIGHT_BOLD, PANGO_STYLE_NORMAL },
    { "LiberationSans-Italic.ttf", "Liberation Sans", PANGO_WEIGHT_NORMAL, PANGO_STYLE_ITALIC },
    { "LiberationSans-BoldItalic.ttf", "Liberation Sans", PANGO_WEIGHT_BOLD, PANGO_STYLE_ITALIC },
    { "LiberationSerif-Regular.ttf", "Liberation Serif", PANGO_WEIGHT_NORMAL, PANGO_STYLE_NORMAL },
    { "LiberationSerif-Bold.ttf", "Liberation Serif", PANGO_WEIGHT_BOLD, PANGO_STYLE_NORMAL },
    { "LiberationMono-Regular.ttf", "Liberation Mono", PANGO_WEIGHT_NORMAL, PANGO_STYLE_NORMAL },
    { "LiberationMono-Bold.ttf", "Liberation Mono", PANGO_WEIGHT_BOLD, PANGO_STYLE_NORMAL },
    { "DejaVuSans.ttf", "DejaVu Sans", PANGO_WEIGHT_NORMAL, PANGO_STYLE_NORMAL },
    { "DejaVuSans-Bold.ttf", "DejaVu Sans", PANGO_WEIGHT_BOLD, PANGO_STYLE_NORMAL },
};

struct Alias {
    const char* name;
    const char* family;
    const char* engineFamily;
    PangoWeight weight;
    PangoStyle style;
};

constexpr PangoWeight R = PANGO_WEIGHT_NORMAL, B = PANGO_WEIGHT_BOLD;
constexpr PangoStyle N = PANGO_STYLE_NORMAL, I = PANGO_STYLE_ITALIC;

const Alias kAliases[] = {
    { "Helvetica", "Helvetica", "Liberation Sans", R, N },
    { "Helvetica-Bold", "Helvetica", "Liberation Sans", B, N },
    { "Helvetica-Oblique", "Helvetica", "Liberation Sans", R, I },
    { "Helvetica-BoldOblique", "Helvetica", "Liberation Sans", B, I },
    { "Helvetica-Light", "Helvetica", "Liberation Sans", R, N },
    { "HelveticaNeue", "Helvetica Neue", "Liberation Sans", R, N },
    { "HelveticaNeue-Light", "Helvetica Neue", "Liberation Sans", R, N },
    { "HelveticaNeue-Thin", "Helvetica Neue", "Liberation Sans", R, N },
    { "HelveticaNeue-UltraLight", "Helvetica Neue", "Liberation Sans", R, N },
    { "HelveticaNeue-Medium", "Helvetica Neue", "Liberation Sans", B, N },
    { "HelveticaNeue-Bold", "Helvetica Neue", "Liberation Sans", B, N },
    { "HelveticaNeue Bold", "Helvetica Neue", "Liberation Sans", B, N },
    { "HelveticaNeue-CondensedBold", "Helvetica Neue", "Liberation Sans", B, N },
    { "HelveticaNeue-Italic", "Helvetica Neue", "Liberation Sans", R, I },
    { "HelveticaNeue-LightItalic", "Helvetica Neue", "Liberation Sans", R, I },
    { "HelveticaNeue-BoldItalic", "Helvetica Neue", "Liberation Sans", B, I },
    { "ArialMT", "Arial", "Liberation Sans", R, N },
    { "Arial-BoldMT", "Arial", "Liberation Sans", B, N },
    { "Arial-ItalicMT", "Arial", "Liberation Sans", R, I },
    { "TimesNewRomanPSMT", "Times New Roman", "Liberation Serif", R, N },
    { "TimesNewRomanPS-BoldMT", "Times New Roman", "Liberation Serif", B, N },
    { "Georgia", "Georgia", "Liberation Serif", R, N },
    { "Georgia-Bold", "Georgia", "Liberation Serif", B, N },
    { "Courier", "Courier", "Liberation Mono", R, N },
    { "Courier-Bold", "Courier", "Liberation Mono", B, N },
    { "CourierNewPSMT", "Courier New", "Liberation Mono", R, N },
    { "Menlo-Regular", "Menlo", "Liberation Mono", R, N },
    { "Menlo-Bold", "Menlo", "Liberation Mono", B, N },
    { "Futura", "Futura", "DejaVu Sans", R, N },
    { "Futura-Medium", "Futura", "DejaVu Sans", R, N },
    { "Futura-Bold", "Futura", "DejaVu Sans", B, N },
    { "Futura-CondensedMedium", "Futura", "DejaVu Sans", R, N },
    { "Futura-CondensedExtraBold", "Futura", "DejaVu Sans", B, N },
    { "Thonburi", "Thonburi", "DejaVu Sans", R, N },
    { "Thonburi-Bold", "Thonburi", "DejaVu Sans", B, N },
    { "EuphemiaUCAS", "Euphemia UCAS", "DejaVu Sans", R, N },
    { "EuphemiaUCAS-Bold", "Euphemia UCAS", "DejaVu Sans", B, N },
    { "Verdana", "Verdana", "DejaVu Sans", R, N },
    { "Verdana-Bold", "Verdana", "DejaVu Sans", B, N },
    { "TrebuchetMS", "Trebuchet MS", "DejaVu Sans", R, N },
    { "TrebuchetMS-Bold", "Trebuchet MS", "DejaVu Sans", B, N },
    { "AvenirNext-Regular", "Avenir Next", "DejaVu Sans", R, N },
    { "AvenirNext-Medium", "Avenir Next", "DejaVu Sans", R, N },
    { "AvenirNext-Bold", "Avenir Next", "DejaVu Sans", B, N },
    { "Avenir-Book", "Avenir", "DejaVu Sans", R, N },
    { "Avenir-Heavy", "Avenir", "DejaVu Sans", B, N },
    { "Noteworthy-Bold", "Noteworthy", "DejaVu Sans", B, N },
    { "MarkerFelt-Thin", "Marker Felt", "DejaVu Sans", R, N },
};

const char* kSystemRegular = ".HelveticaNeueInterface-M3";
const char* kSystemBold = ".HelveticaNeueInterface-MediumP4";
const char* kSystemItalic = ".HelveticaNeueInterface-Italic";

struct Engine {
    std::recursive_mutex lock;
    FcConfig* config { nullptr };
    PangoFontMap* fontMap { nullptr };
    std::map<std::string, UIFont::Face, std::less<>> faces; // by platform name
    std::deque<std::string> registeredFiles;
    std::string contentSizeCategory { "UICTContentSizeCategoryL" };

    Engine()
    {
        FcInit();
        config = FcConfigCreate();
        std::vector<std::string> directories;
        directories.push_back(NSBundle::mainBundle()->resourcePath() + "/fonts");
        directories.push_back("/usr/share/fonts/truetype/liberation2");
        directories.push_back("/usr/share/fonts/truetype/dejavu");
        for (const auto& file : kBundled) {
            for (const auto& dir : directories) {
                std::string path = dir + "/" + file.file;
                struct stat st;
                if (::stat(path.c_str(), &st) == 0) {
                    FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.c_str()));
                    break;
                }
            }
        }
        fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fontMap), config);
        for (const auto& alias : kAliases)
            faces[alias.name]
                = UIFont::Face { alias.name, alias.family, alias.engineFamily, alias.weight, alias.style };
        faces[kSystemRegular] = UIFont::Face { kSystemRegular, ".Helvetica Neue Interface", "Liberation Sans", R, N };
        faces[kSystemBold] = UIFont::Face { kSystemBold, ".Helvetica Neue Interface", "Liberation Sans", B, N };
        faces[kSystemItalic] = UIFont::Face { kSystemItalic, ".Helvetica Neue Interface", "Liberation Sans", R, I };
    }
};

Engine& engine()
{
    static Engine* s_engine = new Engine; // lives for the process: fonts are used until exit
    return *s_engine;
}

const UIFont::Face* faceNamed(std::string_view name)
{
    auto& e = engine();
    std::lock_guard lock(e.lock);
    auto it = e.faces.find(name);
    return it == e.faces.end() ? nullptr : &it->second;
}

} // namespace

namespace TextEngine {

std::recursive_mutex& lock()
{
    return engine().lock;
}

namespace {
PangoContext* createContext()
{
    auto& e = engine();
    PangoContext* context = pango_font_map_create_context(e.fontMap);
    pango_cairo_context_set_resolution(context, 72);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
    return context;
}
} // namespace

PangoLayout* createLayout()
{
    PangoContext* context = createContext();
    PangoLayout* layout = pango_layout_new(context);
    g_object_unref(context);
    return layout;
}

PangoFontDescription* fontDescription(const UIFont& font)
{
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, font.face()->engineFamily.c_str());
    pango_font_description_set_weight(d, font.face()->weight);
    pango_font_description_set_style(d, font.face()->style);
    pango_font_description_set_absolute_size(d, font.pointSize() * PANGO_SCALE);
    return d;
}

PangoFontMetrics* metrics(const UIFont& font)
{
    PangoContext* context = createContext();
    PangoFontDescription* d = fontDescription(font);
    PangoFontMetrics* m = pango_context_get_metrics(context, d, nullptr);
    pango_font_description_free(d);
    g_object_unref(context);
    return m;
}

} // namespace TextEngine

UIFont::UIFont(Passkey key, const Face* face, std::string name, CGFloat size)
    : NSObject(key)
    , m_face(face)
    , m_name(std::move(name))
    , m_size(size)
{
}

Ref<UIFont> UIFont::fontWithNameSize(const std::string& name, CGFloat size)
{
    const Face* face = faceNamed(name);
    if (!face)
        return nullptr;
    // A size of 0 or less means the default text size, as on the platform.
    return make<UIFont>(face, name, size > 0 ? size : 12);
}

Ref<UIFont> UIFont::systemFontOfSize(CGFloat size)
{
    return fontWithNameSize(kSystemRegular, size);
}
Ref<UIFont> UIFont::boldSystemFontOfSize(CGFloat size)
{
    return fontWithNameSize(kSystemBold, size);
}
Ref<UIFont> UIFont::italicSystemFontOfSize(CGFloat size)
{
    return fontWithNameSize(kSystemItalic, size);
}

std::string UIFont::contentSizeCategory()
{
    auto& e = engine();
    std::lock_guard lock(e.lock);
    return e.contentSizeCategory;
}

void UIFont::setContentSizeCategory(const std::string& category)
{
    auto& e = engine();
    std::lock_guard lock(e.lock);
    e.contentSizeCategory = category;
}

Ref<UIFont> UIFont::preferredFontForTextStyle(const std::string& style)
{
    static const char* categories[] = { "UICTContentSizeCategoryXS", "UICTContentSizeCategoryS",
        "UICTContentSizeCategoryM", "UICTContentSizeCategoryL", "UICTContentSizeCategoryXL",
        "UICTContentSizeCategoryXXL", "UICTContentSizeCategoryXXXL" };
    struct Row {
        const char* style;
        const char* fontName;
        int sizes[7];
    };
    static const Row rows[] = {
        { UIFontTextStyleHeadline, "HelveticaNeue-Medium", { 14, 15, 16, 17, 19, 21, 23 } },
        { UIFontTextStyleBody, "HelveticaNeue", { 14, 15, 16, 17, 19, 21, 23 } },
        { UIFontTextStyleSubheadline, "HelveticaNeue", { 12, 13, 14, 15, 17, 19, 21 } },
        { UIFontTextStyleFootnote, "HelveticaNeue", { 12, 12, 12, 13, 15, 17, 19 } },
        { UIFontTextStyleCaption1, "HelveticaNeue", { 11, 11, 11, 12, 14, 16, 18 } },
        { UIFontTextStyleCaption2, "HelveticaNeue", { 11, 11, 11, 11, 13, 15, 17 } },
    };
    std::string category = contentSizeCategory();
    int index = 3;
    for (int i = 0; i < 7; ++i) {
        if (category == categories[i])
            index = i;
    }
    // The accessibility categories are the largest size.
    if (category.find("Accessibility") != std::string::npos)
        index = 6;
    for (const auto& row : rows) {
        if (style == row.style)
            return fontWithNameSize(row.fontName, static_cast<CGFloat>(row.sizes[index]));
    }
    return nullptr;
}

std::vector<std::string> UIFont::familyNames()
{
    auto& e = engine();
    std::lock_guard lock(e.lock);
    std::set<std::string> families;
    for (const auto& [name, face] : e.faces) {
        if (!face.family.empty() && face.family[0] != '.')
            families.insert(face.family);
    }
    return { families.begin(), families.end() };
}

std::vector<std::string> UIFont::fontNamesForFamilyName(const std::string& family)
{
    auto& e = engine();
    std::lock_guard lock(e.lock);
    std::vector<std::string> names;
    for (const auto& [name, face] : e.faces) {
        if (face.family == family)
            names.push_back(name);
    }
    return names;
}

std::string UIFont::registerFontData(const std::vector<uint8_t>& data, std::string* error)
{
    auto& e = engine();
    std::lock_guard lock(e.lock);
    auto fail = [&](const char* text) {
        if (error)
            *error = text;
        return std::string();
    };
    if (data.size() < 12)
        return fail("The font data is empty or too short.");
    char path[] = "/tmp/vxfont-XXXXXX";
    int fd = ::mkstemp(path);
    if (fd < 0)
        return fail("The font data could not be stored.");
    bool written = ::write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size());
    ::close(fd);
    if (!written) {
        ::unlink(path);
        return fail("The font data could not be stored.");
    }
    int count = 0;
    FcPattern* pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path), 0, nullptr, &count);
    if (!pattern) {
        ::unlink(path);
        return fail("The data is not a font the system can read.");
    }
    FcChar8* ps = nullptr;
    FcChar8* family = nullptr;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetString(pattern, FC_POSTSCRIPT_NAME, 0, &ps);
    FcPatternGetString(pattern, FC_FAMILY, 0, &family);
    FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
    std::string psName = ps ? reinterpret_cast<const char*>(ps) : "";
    std::string familyName = family ? reinterpret_cast<const char*>(family) : "";
    FcPatternDestroy(pattern);
    if (psName.empty() || familyName.empty()) {
        ::unlink(path);
        return fail("The font has no name.");
    }
    if (e.faces.count(psName)) {
        ::unlink(path);
        return fail("A font with this name is already registered.");
    }
    FcConfigAppFontAddFile(e.config, reinterpret_cast<const FcChar8*>(path));
    pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(e.fontMap));
    e.registeredFiles.push_back(path);
    UIFont::Face face { psName, familyName, familyName,
        weight >= FC_WEIGHT_BOLD ? PANGO_WEIGHT_BOLD
                                 : static_cast<PangoWeight>(weight >= FC_WEIGHT_DEMIBOLD ? 600
                                         : weight >= FC_WEIGHT_MEDIUM                    ? 500
                                         : weight <= FC_WEIGHT_LIGHT                     ? 300
                                                                                         : 400),
        slant == FC_SLANT_ROMAN ? PANGO_STYLE_NORMAL : PANGO_STYLE_ITALIC, true };
    e.faces[psName] = face;
    return psName;
}

Ref<UIFont> UIFont::fontWithSize(CGFloat size) const
{
    return make<UIFont>(m_face, m_name, size > 0 ? size : m_size);
}

std::string UIFont::familyName() const
{
    return m_face->family;
}

namespace {

template <typename F> CGFloat metric(const UIFont& font, F&& read)
{
    std::lock_guard lock(TextEngine::lock());
    PangoFontMetrics* m = TextEngine::metrics(font);
    CGFloat value = static_cast<CGFloat>(read(m)) / PANGO_SCALE;
    pango_font_metrics_unref(m);
    return value;
}

} // namespace

CGFloat UIFont::ascender() const
{
    return metric(*this, pango_font_metrics_get_ascent);
}
CGFloat UIFont::descender() const
{
    return -metric(*this, pango_font_metrics_get_descent);
}
CGFloat UIFont::leading() const
{
    CGFloat height = metric(*this, pango_font_metrics_get_height);
    return std::max<CGFloat>(0, height - (ascender() - descender()));
}
CGFloat UIFont::lineHeight() const
{
    return ascender() - descender();
}
CGFloat UIFont::capHeight() const
{
    return m_size * 0.7f;
}
CGFloat UIFont::xHeight() const
{
    return m_size * 0.52f;
}
CGFloat UIFont::underlinePosition() const
{
    return metric(*this, pango_font_metrics_get_underline_position);
}
CGFloat UIFont::underlineThickness() const
{
    return metric(*this, pango_font_metrics_get_underline_thickness);
}
bool UIFont::isBold() const
{
    return m_face->weight >= PANGO_WEIGHT_SEMIBOLD;
}
bool UIFont::isItalic() const
{
    return m_face->style != PANGO_STYLE_NORMAL;
}

std::string UIFont::description() const
{
    return NSString::stringWithFormat(
        "<UIFont: %p> font-family: \"%@\"; font-weight: %@; font-style: %@; font-size: %@pt",
        static_cast<const void*>(this), familyName(), isBold() ? "bold" : "normal", isItalic() ? "italic" : "normal",
        CGFloatDescription(m_size));
}

bool UIFont::isEqual(const NSObject* other) const
{
    auto* font = dynamic_cast<const UIFont*>(other);
    return font && font->m_face == m_face && font->m_size == m_size;
}

size_t UIFont::hash() const
{
    return std::hash<std::string>()(m_name) ^ std::hash<float>()(m_size);
}

VX_REGISTER_CLASS(UIFont);
