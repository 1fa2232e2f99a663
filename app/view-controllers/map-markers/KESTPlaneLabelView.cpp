#include "app/view-controllers/map-markers/KESTPlaneLabelView.h"

#include "app/core/KESTPlane.h"
#include "graphics/UIColor.h"

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
