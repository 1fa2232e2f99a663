#include "app/widgets/KESTRouteProgressViewCell.h"

VX_REGISTER_CLASS(KESTRouteProgressViewCell);

Ref<KESTRouteProgressViewCell> KESTRouteProgressViewCell::cellHostingProgressView(const Ref<UITableView>& table,
    Ref<KESTRouteProgressView>& progressView, const Ref<UIColor>& background,
    const std::function<Ref<KESTRouteProgressView>(CGRect)>& make)
{
    auto cell = std::dynamic_pointer_cast<KESTRouteProgressViewCell>(
        table->dequeueReusableCellWithIdentifier("KESTRouteProgressViewCell"));
    if (!cell) {
        cell = initWithStyleReuseIdentifier(UITableViewCellStyleDefault, "KESTRouteProgressViewCell");
        cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
        cell->setBackgroundColor(background);
        if (!progressView)
            progressView = make(cell->bounds());
    }
    if (progressView && progressView->superview() != cell->contentView()) {
        progressView->removeFromSuperview();
        cell->contentView()->addSubview(progressView);
    }
    return cell;
}
