// The update screen's release-notes page for a version the service describes: the first line of
// the input is the version text, the rest its notes (HTML). The page is built as the update
// screen builds it, loaded, measured and drawn; its size stays finite and within reach.
#include "foundation/JSONReader.h"
#include "foundation/NSString.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/KitSession.h"
#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"
#include "sdk/HBRAppVersionMetaInfo.h"
#include "sdk/HBRWebTableViewCell.h"

#include <cmath>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    // Both come from the service's JSON answer, so they are UTF-8.
    if (!JSONReader::isValidUTF8(input))
        return 0;
    size_t newline = input.find('\n');
    std::string versionText = input.substr(0, newline);
    std::string notes = newline == std::string::npos ? std::string() : input.substr(newline + 1);
    KitSession session;
    auto version = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(Value::dictionary(
        { { "title", "Volantrix" }, { "version", versionText }, { "shortversion", versionText }, { "notes", notes },
            { "timestamp", 1388534400 }, { "appsize", 1000 }, { "mandatory", false }, { "id", 1 } }));
    // What the update screen shows for the newest version.
    std::string content = NSString::stringWithFormat("<p><b>%@</b>%@<br/><small>%@</small></p><p>%@</p>",
        version->versionString(), std::string(), std::string(), version->notesOrEmptyString());
    auto cell = HBRWebTableViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "WebTableViewCell");
    cell->setFrame(CGRectMake(0, 0, 320, 44));
    cell->setWebViewContent(content);
    cell->addWebView();
    drainAll();
    while (runOnePass())
        drainAll();
    auto webView = cell->webView();
    if (!webView)
        return 0;
    CGFloat height = webView->contentHeight();
    fuzzCheck(std::isfinite(height) && height >= 0 && height < 1e6, "the page has an impossible height");
    CGSize shown = cell->webViewSize();
    fuzzCheck(std::isfinite(shown.width) && std::isfinite(shown.height) && shown.height < 1e6,
        "the row was given an impossible size");
    auto context = CGContextCreateRecording(webView->bounds().size);
    UIGraphicsPushContext(context);
    webView->drawRect(webView->bounds());
    UIGraphicsPopContext();
    return 0;
}
