// The attributed label given any text, as the feedback list gives it a message: with every data
// detector on, it finds its links, measures and draws; links lie inside the text.
#include "foundation/JSONReader.h"
#include "foundation/NSString.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/KitSession.h"
#include "graphics/CGContext.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "sdk/HBRAttributedLabel.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    // Message texts come from JSON, so they are UTF-8.
    if (!JSONReader::isValidUTF8(text))
        return 0;
    KitSession session;
    auto label = HBRAttributedLabel::initWithFrame(CGRectMake(0, 0, 300, 100));
    label->setFont(UIFont::systemFontOfSize(15));
    label->setNumberOfLines(0);
    label->setDataDetectorTypes(UIDataDetectorTypeAll);
    label->setText(text);
    uint64_t length = NSString::length(text);
    for (const auto& link : label->links()) {
        NSRange range = link.range();
        fuzzCheck(range.location != NSUInteger(NSNotFound) && uint64_t(range.location) + range.length <= length,
            "a link lies outside the text");
    }
    CGSize fits = label->sizeThatFits(CGSizeMake(300, 10000));
    fuzzCheck(std::isfinite(fits.width) && std::isfinite(fits.height) && fits.width >= 0 && fits.height >= 0,
        "the label measured an impossible size");
    auto context = CGContextCreateRecording(label->bounds().size);
    UIGraphicsPushContext(context);
    label->drawTextInRect(label->bounds());
    UIGraphicsPopContext();
    return 0;
}
