#pragma once

#include "foundation/Value.h"
#include "uikit/UIScrollView.h"

class KESTHistoryRouteProgressView;

// A horizontally paged strip of a multi-leg route, one page per hop, holding the drawn bar;
// setting the entries turns it to the last page. Main thread only.
class KESTHistoryRouteProgressContainerView : public UIScrollView {
    VX_OBJECT(KESTHistoryRouteProgressContainerView, UIScrollView)
public:
    explicit KESTHistoryRouteProgressContainerView(Passkey key)
        : UIScrollView(key)
    {
    }
    static Ref<KESTHistoryRouteProgressContainerView> initWithFrame(CGRect frame);

    const Value& data() const { return m_data; }
    void setData(const Value& data);
    void performLayout();
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    const Ref<KESTHistoryRouteProgressView>& progressView() const { return m_progressView; }

private:
    void sizeBar();

    Ref<KESTHistoryRouteProgressView> m_progressView;
    Value m_data;
};
