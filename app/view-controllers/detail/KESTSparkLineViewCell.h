#pragma once

#include "app/widgets/KESTSparkLineView.h"
#include "uikit/UITableViewCell.h"

#include <vector>

class UILabel;

// A row hosting a spark line beside a description and a value label. One spark line can move
// between cells as the table reuses them. Built from the layout "KESTSparkLineViewCell"; main thread only.
class KESTSparkLineViewCell : public UITableViewCell {
    VX_OBJECT(KESTSparkLineViewCell, UITableViewCell)
public:
    explicit KESTSparkLineViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTSparkLineViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTSparkLineViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    const Ref<KESTSparkLineView>& sparkLineView() const { return m_sparkLineView; }
    // Moves the spark line into this cell's container, filling it.
    void setSparkLineView(const Ref<KESTSparkLineView>& sparkLine);
    float currentValue() const;
    void layoutSubviews() override;

private:
    Ref<KESTSparkLineView> m_sparkLineView;

public:
    const Ref<UILabel>& valueLabel() const { return m_valueLabel; }
    void setValueLabel(Ref<UILabel> v) { m_valueLabel = std::move(v); }
    const Ref<UILabel>& descriptionLabel() const { return m_descriptionLabel; }
    void setDescriptionLabel(Ref<UILabel> v) { m_descriptionLabel = std::move(v); }
    const Ref<UIView>& sparkLineContainerView() const { return m_sparkLineContainerView; }
    void setSparkLineContainerView(Ref<UIView> v) { m_sparkLineContainerView = std::move(v); }

private:
    Ref<UILabel> m_valueLabel;
    Ref<UILabel> m_descriptionLabel;
    Ref<UIView> m_sparkLineContainerView;
};
