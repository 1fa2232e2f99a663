#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"

class UIWebView;

// The legal notices as a small page in a web view. Ten taps on the page report the size of the
// shared URL cache, empty it and make the first-run intro show at the next start. Main thread
// only.
class KESTLegalViewController : public KESTBaseViewController {
    VX_OBJECT(KESTLegalViewController, KESTBaseViewController)
public:
    explicit KESTLegalViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTLegalViewController> init();

    void viewDidLoad() override;
    void respondToTapGesture();
    // The byte count in bytes, KB, MB or GB ("%lu bytes", "%1.1f KB", ...).
    static std::string readableValueWithBytes(int32_t bytes);
    // The page for the notices.
    static std::string pageHTML();

    Ref<UIWebView> webView;
};
