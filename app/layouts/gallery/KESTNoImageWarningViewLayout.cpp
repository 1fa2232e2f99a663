#include "app/view-controllers/gallery/KESTNoImageWarningView.h"
#include "uikit/UINib.h"

namespace {

// A 320 by 36 note; its user sizes it.
std::vector<Value> buildNoImageWarningView(const Ref<NSObject>&, const Value&)
{
    auto view = KESTNoImageWarningView::initWithFrame(CGRectMake(0, 0, 320, 36));
    view->awakeFromNib();
    return { Value(view) };
}

} // namespace

VX_REGISTER_LAYOUT("KESTNoImageWarningView", buildNoImageWarningView);
