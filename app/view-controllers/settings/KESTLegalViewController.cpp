#include "app/view-controllers/settings/KESTLegalViewController.h"

#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "net/NSURLCache.h"
#include "uikit/UIAlertView.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UIWebView.h"

VX_REGISTER_CLASS(KESTLegalViewController);

namespace {
const std::vector<std::pair<std::string, std::string>> s_notices = { { "Google Maps for iOS", "N/A" } };
} // namespace

Ref<KESTLegalViewController> KESTLegalViewController::init()
{
    auto controller = makeController<KESTLegalViewController>("KESTLegalViewController", nullptr);
    controller->setTitle(NSBundle::mainBundle()->localizedStringForKey("Legal", "", ""));
    return controller;
}

std::string KESTLegalViewController::pageHTML()
{
    std::string page = "<html><head><style>body { font: 80% 'Helvetica Neue', Arial, Helvetica, sans-serif; "
                       "padding: 5px }</style></head><body style=\"background-color: transparent;\">";
    for (const auto& [title, text] : s_notices) {
        std::string body = text;
        for (size_t at = body.find('\n'); at != std::string::npos; at = body.find('\n', at + 6))
            body.replace(at, 1, "<br />");
        page += NSString::stringWithFormat("<h2>%@</h2><p>%@</p>", title, body);
    }
    return page + "</body></html>";
}

void KESTLegalViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    if (webView)
        webView->loadHTMLStringBaseURL(pageHTML(), nullptr);
    Weak<KESTLegalViewController> weak = self<KESTLegalViewController>();
    auto tap = UITapGestureRecognizer::init();
    tap->addTargetAction(self<NSObject>(), "respondToTapGesture", [weak](const Ref<UIGestureRecognizer>&) {
        if (auto screen = weak.lock())
            screen->respondToTapGesture();
    });
    tap->setNumberOfTapsRequired(10);
    view()->addGestureRecognizer(tap);
}

void KESTLegalViewController::respondToTapGesture()
{
    auto cache = NSURLCache::sharedURLCache();
    std::string disk = readableValueWithBytes(int32_t(cache->currentDiskUsage()));
    std::string memory = readableValueWithBytes(int32_t(cache->currentMemoryUsage()));
    UIAlertView::initWithTitle("Cache",
        NSString::stringWithFormat("Cache is using %@ on disk and %@ in memory", disk, memory), nullptr, {}, "OK", {})
        ->show();
    cache->removeAllCachedResponses();
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setBool(false, "kHasShownIntroView");
    defaults->synchronize();
}

std::string KESTLegalViewController::readableValueWithBytes(int32_t bytes)
{
    if (bytes <= 1022)
        return NSString::stringWithFormat("%lu bytes", static_cast<unsigned long>(bytes < 0 ? 0 : bytes));
    float value = float(bytes) / 1024.0f;
    if (value < 1023)
        return NSString::stringWithFormat("%1.1f KB", double(value));
    value /= 1024.0f;
    if (value < 1023)
        return NSString::stringWithFormat("%1.1f MB", double(value));
    value /= 1024.0f;
    return NSString::stringWithFormat("%1.1f GB", double(value));
}
