#pragma once

#include "app/view-controllers/intro/KESTIntroPageView.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIViewController.h"

#include <functional>
#include <vector>

class UIButton;
class UIImageView;
class UIPageControl;

// The paged first-run tour laid over the map screen: a dimmed layer with one page per feature,
// page dots, a "Jump in" button that ends it, and a snapshot of the map-screen control the
// current page is about, drawn at that control's place. The owner builds the pages, hands them
// over with setPages, attaches the view and starts it; the end fades it out, removes it and runs
// the completion block once. Main thread only.
class KESTIntroViewController : public UIViewController, public KESTIntroDelegate, public UIScrollViewDelegate {
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
    void viewWillLayoutSubviews() override;

    // A page the size of the tour's view with the texts, the icon and the relevant view (or null).
    Ref<UIView> pageTemplateWithTitleContentIconAndView(
        const std::string& title, const std::string& content, const Ref<UIImage>& icon, const Ref<UIView>& view);
    void setPages(std::vector<Ref<UIView>> pages);
    const std::vector<Ref<UIView>>& pages() const { return m_pages; }
    void beginIntroWithCompletionHandler(CompletionHandler handler);
    void endIntro();

    // Shows page p (a clamped index; nothing without pages): its snapshot and its dot.
    void showPageForceUpdate(int32_t page, bool force);
    void layoutPages();
    CGRect controlFrames() override;
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>& scrollView) override;
    void willRotateToInterfaceOrientationDuration(UIInterfaceOrientation orientation, double duration) override;

    int32_t currentPage() const { return m_currentPage; }
    const Ref<UIScrollView>& scrollView() const { return m_scrollView; }
    const Ref<UIButton>& jumpInButton() const { return m_jumpInButton; }
    const Ref<UIPageControl>& pageControl() const { return m_pageControl; }
    const Ref<UIImageView>& relevantViewImageView() const { return m_relevantViewImageView; }

private:
    int32_t pageForOffset() const;

    Ref<UIScrollView> m_scrollView;
    Ref<UIImageView> m_relevantViewImageView;
    Ref<UIButton> m_jumpInButton;
    Ref<UIPageControl> m_pageControl;
    int32_t m_currentPage { 0 };
    std::vector<Ref<UIView>> m_pages;
    CompletionHandler m_completion;
};
