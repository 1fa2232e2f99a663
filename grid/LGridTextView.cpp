#include "grid/LGridTextView.h"

Ref<LGridTextView> LGridTextView::initWithFrameWithDelegate(
    CGRect frame, LGridTextViewDelegate* delegate, Weak<NSObject> delegateOwner)
{
    auto view = makeScrollView<LGridTextView>(frame);
    view->setGridDelegate(delegate, std::move(delegateOwner));
    return view;
}

void LGridTextView::layoutSubviews()
{
    UITextView::layoutSubviews();
    if (m_laidOut)
        return;
    m_laidOut = true;
    if (auto* delegate = gridDelegate())
        delegate->didFinishLayingOutSGridTextView(self<LGridTextView>());
}
