#pragma once

#include "uikit/UITableViewCell.h"

#include <vector>

class UIImageView;

// The aircraft tab's picture row: the type drawing standing on the blue gradient, 16 points in
// from the sides and 20 from the top and bottom. Built from the layout "KESTAircraftImageViewCell"; main thread only.
class KESTAircraftImageViewCell : public UITableViewCell {
    VX_OBJECT(KESTAircraftImageViewCell, UITableViewCell)
public:
    explicit KESTAircraftImageViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTAircraftImageViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTAircraftImageViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    void layoutSubviews() override;

    const Ref<UIImageView>& planeImageView() const { return m_planeImageView; }
    void setPlaneImageView(Ref<UIImageView> v) { m_planeImageView = std::move(v); }

private:
    Ref<UIImageView> m_planeImageView;
};
