#include "charts/LChartFonts.h"

#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "graphics/CGImage.h"
#include "graphics/CoreText.h"
#include "graphics/UIFont.h"

namespace LChartFontsData {
extern const uint8_t kBold[];
extern const size_t kBoldSize;
extern const uint8_t kLight[];
extern const size_t kLightSize;
extern const uint8_t kRegular[];
extern const size_t kRegularSize;
} // namespace LChartFontsData

Value LChartFonts::NunitoBold()
{
    return Value::data(LChartFontsData::kBold, LChartFontsData::kBoldSize);
}

Value LChartFonts::NunitoLight()
{
    return Value::data(LChartFontsData::kLight, LChartFontsData::kLightSize);
}

Value LChartFonts::NunitoRegular()
{
    return Value::data(LChartFontsData::kRegular, LChartFontsData::kRegularSize);
}

bool LChartFonts::installNunitoFonts()
{
    bool bold = installFontFromNSDataWithName(NunitoBold(), "Nunito-Bold");
    bool light = installFontFromNSDataWithName(NunitoLight(), "Nunito-Light");
    bool regular = installFontFromNSDataWithName(NunitoRegular(), "Nunito-Regular");
    return bold && light && regular;
}

bool LChartFonts::installFontFromNSDataWithName(const Value& data, const std::string& name)
{
    for (const auto& family : UIFont::familyNames()) {
        for (const auto& font : UIFont::fontNamesForFamilyName(family)) {
            if (font.find(name) != std::string::npos)
                return true;
        }
    }
    std::vector<uint8_t> bytes;
    if (data.isData())
        bytes.assign(data.bytes().begin(), data.bytes().end());
    auto provider = CGDataProviderCreateWithBytes(std::move(bytes));
    auto font = CGFontCreateWithDataProvider(provider);
    Ref<NSError> error;
    if (!CTFontManagerRegisterGraphicsFont(font, &error)) {
        NSLog("Failed to load font: %@",
            error ? error->localizedDescription() : std::string("The font could not be registered."));
        return false;
    }
    return true;
}
