#pragma once

#include "uikit/UITableViewCell.h"
#include "uikit/UIWebView.h"

#include <string>

// A table row that shows an HTML fragment in a web view and publishes the size of the loaded
// page as "webViewSize", so the table can give the row its height. Links in the page do not
// navigate. Main thread only.
class HBRWebTableViewCell : public UITableViewCell, public UIWebViewDelegate {
    VX_OBJECT(HBRWebTableViewCell, UITableViewCell)
public:
    explicit HBRWebTableViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    ~HBRWebTableViewCell() override;
    static Ref<HBRWebTableViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier);

    const Ref<UIWebView>& webView() const { return m_webView; }
    const std::string& webViewContent() const { return m_webViewContent; }
    void setWebViewContent(const std::string& content);
    const Ref<UIColor>& cellBackgroundColor() const { return m_cellBackgroundColor; }
    void setCellBackgroundColor(const Ref<UIColor>& color) { m_cellBackgroundColor = color; }
    CGSize webViewSize() const { return m_webViewSize; }
    void setWebViewSize(CGSize size);
    // The document the web view loads for the content at the given viewport width.
    static std::string pageForContentViewportWidth(const std::string& content, const std::string& width);

    void addWebView();
    void showWebView();
    void removeWebView();
    void prepareForReuse() override;
    void setFrame(CGRect frame) override;
    Value valueForKey(const std::string& key) override;

    bool webViewShouldStartLoadWithRequestNavigationType(
        const Ref<UIWebView>&, const Ref<NSURLRequest>&, UIWebViewNavigationType type) override;
    void webViewDidFinishLoad(const Ref<UIWebView>& webView) override;

private:
    Ref<UIWebView> m_webView;
    std::string m_webViewContent;
    Ref<UIColor> m_cellBackgroundColor;
    CGSize m_webViewSize { 0, 0 };
};
