#pragma once

#include "app/widgets/KESTRouteProgressView.h"
#include "uikit/UITableViewCell.h"

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
    const Ref<KESTRouteProgressView>& progressView() const { return m_progressView; }
    void setProgressView(Ref<KESTRouteProgressView> view) { m_progressView = std::move(view); }

private:
    Ref<KESTRouteProgressView> m_progressView;
};
