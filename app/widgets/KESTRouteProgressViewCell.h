#pragma once

#include "app/widgets/KESTRouteProgressView.h"
#include "uikit/UITableView.h"
#include "uikit/UITableViewCell.h"

#include <functional>

class UIColor;

// A plain table cell that hosts a route progress view, which its user adds to the content view.
class KESTRouteProgressViewCell : public UITableViewCell {
    VX_OBJECT(KESTRouteProgressViewCell, UITableViewCell)
public:
    explicit KESTRouteProgressViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTRouteProgressViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTRouteProgressViewCell>(style, reuseIdentifier);
    }
    // The row that shows a table's one progress view: a reused cell (dequeued without an index
    // path) or a new one with no selection and the given background, into whose content view
    // the progress view moves. `make` creates the progress view with the first new cell's
    // bounds, when there is none yet.
    static Ref<KESTRouteProgressViewCell> cellHostingProgressView(const Ref<UITableView>& table,
        Ref<KESTRouteProgressView>& progressView, const Ref<UIColor>& background,
        const std::function<Ref<KESTRouteProgressView>(CGRect)>& make);

    const Ref<KESTRouteProgressView>& progressView() const { return m_progressView; }
    void setProgressView(Ref<KESTRouteProgressView> view) { m_progressView = std::move(view); }

private:
    Ref<KESTRouteProgressView> m_progressView;
};
