#pragma once

#include "uikit/UIViewController.h"

#include <functional>
#include <vector>

class UIButton;
class UIImage;
class UIScrollView;

// The paged first-run intro. The owner builds pages with pageTemplate, hands them over with
// setPages and starts the intro over its parent screen's view; the intro fades in, pages
// horizontally, and ends with its "Jump in" button, which fades it out, removes it and runs the
// completion block once. Main thread only.
class KESTIntroViewController : public UIViewController {
    VX_OBJECT(KESTIntroViewController, UIViewController)
public:
    using CompletionHandler = std::function<void()>;

    explicit KESTIntroViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<KESTIntroViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeController<KESTIntroViewController>(nibName, bundle);
    }

    void loadView() override;

    // One page: the title, the text and the icon; with a view, a picture of that control too.
    Ref<UIView> pageTemplateWithTitleContentIconAndView(
        const std::string& title, const std::string& content, const Ref<UIImage>& icon, const Ref<UIView>& view);
    // Lays the pages out side by side, in order.
    void setPages(std::vector<Ref<UIView>> pages);
    const std::vector<Ref<UIView>>& pages() const { return m_pages; }
    // Fades the intro in over the parent screen's view (or the key window when it has no parent)
    // and keeps the block for the end.
    void beginIntroWithCompletionHandler(CompletionHandler handler);
    // Fades the intro out, removes it and runs the completion block (once).
    void endIntro();

    const Ref<UIScrollView>& scrollView() const { return m_scrollView; }
    const Ref<UIButton>& jumpInButton() const { return m_jumpInButton; }

private:
    void layoutPages();

    std::vector<Ref<UIView>> m_pages;
    Ref<UIScrollView> m_scrollView;
    Ref<UIButton> m_jumpInButton;
    CompletionHandler m_completion;
};
