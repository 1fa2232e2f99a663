#pragma once

#include "app/view-controllers/common/KESTTableViewCell.h"

#include <vector>

class KESTGradientView;
class KESTNoImageWarningView;
class UIButton;
class UIImageView;
class UILabel;

// The overview's header row: the plane's photo over the blue gradient, the gallery button and
// icon, the no-image warning, the aircraft's name and the time of the last report. Built from the layout
// "KESTPlaneHeaderViewCell"; main thread only.
class KESTPlaneHeaderViewCell : public KESTTableViewCell {
    VX_OBJECT(KESTPlaneHeaderViewCell, KESTTableViewCell)
public:
    explicit KESTPlaneHeaderViewCell(Passkey key)
        : KESTTableViewCell(key)
    {
    }
    static Ref<KESTPlaneHeaderViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTPlaneHeaderViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<KESTNoImageWarningView>& noImageView() const { return m_noImageView; }
    void setNoImageView(Ref<KESTNoImageWarningView> v) { m_noImageView = std::move(v); }
    const Ref<UIView>& dimmerView() const { return m_dimmerView; }
    void setDimmerView(Ref<UIView> v) { m_dimmerView = std::move(v); }
    const Ref<KESTGradientView>& gradientView() const { return m_gradientView; }
    void setGradientView(Ref<KESTGradientView> v) { m_gradientView = std::move(v); }
    const Ref<UIImageView>& planeImageView() const { return m_planeImageView; }
    void setPlaneImageView(Ref<UIImageView> v) { m_planeImageView = std::move(v); }
    const Ref<UILabel>& aircraftLabel() const { return m_aircraftLabel; }
    void setAircraftLabel(Ref<UILabel> v) { m_aircraftLabel = std::move(v); }
    const Ref<UILabel>& updateTimestampLabel() const { return m_updateTimestampLabel; }
    void setUpdateTimestampLabel(Ref<UILabel> v) { m_updateTimestampLabel = std::move(v); }
    const Ref<UIImageView>& galleryImageView() const { return m_galleryImageView; }
    void setGalleryImageView(Ref<UIImageView> v) { m_galleryImageView = std::move(v); }
    const Ref<UIButton>& galleryButton() const { return m_galleryButton; }
    void setGalleryButton(Ref<UIButton> v) { m_galleryButton = std::move(v); }

private:
    Ref<KESTNoImageWarningView> m_noImageView;
    Ref<UIView> m_dimmerView;
    Ref<KESTGradientView> m_gradientView;
    Ref<UIImageView> m_planeImageView;
    Ref<UILabel> m_aircraftLabel;
    Ref<UILabel> m_updateTimestampLabel;
    Ref<UIImageView> m_galleryImageView;
    Ref<UIButton> m_galleryButton;
};
