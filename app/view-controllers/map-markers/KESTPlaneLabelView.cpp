#include "KESTPlaneLabelView.h"

#include "KESTPlane.h"
#include "UIColor.h"

Ref<KESTPlaneLabelView> KESTPlaneLabelView::initWithFrame(CGRect frame)
{
    auto view = makeView<KESTPlaneLabelView>(frame);
    view->setBackgroundColor(UIColor::clearColor());
    return view;
}

void KESTPlaneLabelView::drawRect(CGRect rect)
{
    UIView::drawRect(rect);
    if (m_plane)
        m_plane->drawLabelWithContentInRect(m_content, bounds());
}
