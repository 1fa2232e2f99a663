#include "app/view-controllers/detail/KESTAircraftImageView.h"

#include "app/view-controllers/detail/KESTDetailCellStyle.h"
#include "app/widgets/KESTGradientView.h"

VX_REGISTER_CLASS(KESTAircraftImageView);

Ref<KESTAircraftImageView> KESTAircraftImageView::initWithFrame(CGRect frame)
{
    auto view = makeView<KESTAircraftImageView>(frame);
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->m_gradientView = KESTGradientView::initWithFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
    view->m_gradientView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view->addSubview(view->m_gradientView);
    KESTDetailCellStyle::applyBlueGradient(view->m_gradientView);
    return view;
}
