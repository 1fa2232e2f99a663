#pragma once

#include "uikit/UITableViewCell.h"

#include <vector>

class UIImageView;
class UILabel;

// A schedule row: the seven days of the week, operated days marked by the flight tab. Built from the layout
// "KESTFlightDaysOfOperationViewCell"; main thread only.
class KESTFlightDaysOfOperationViewCell : public UITableViewCell {
    VX_OBJECT(KESTFlightDaysOfOperationViewCell, UITableViewCell)
public:
    explicit KESTFlightDaysOfOperationViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFlightDaysOfOperationViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFlightDaysOfOperationViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    // The label and image view of day 1 (Monday) to 7 (Sunday); nullptr outside that range.
    Ref<UILabel> dayLabel(int32_t day) const;
    Ref<UIImageView> dayImageView(int32_t day) const;

    const Ref<UILabel>& titleLabel() const { return m_titleLabel; }
    void setTitleLabel(Ref<UILabel> v) { m_titleLabel = std::move(v); }
    const Ref<UILabel>& mondayLabel() const { return m_mondayLabel; }
    void setMondayLabel(Ref<UILabel> v) { m_mondayLabel = std::move(v); }
    const Ref<UILabel>& tuesdayLabel() const { return m_tuesdayLabel; }
    void setTuesdayLabel(Ref<UILabel> v) { m_tuesdayLabel = std::move(v); }
    const Ref<UILabel>& wednesdayLabel() const { return m_wednesdayLabel; }
    void setWednesdayLabel(Ref<UILabel> v) { m_wednesdayLabel = std::move(v); }
    const Ref<UILabel>& thursdayLabel() const { return m_thursdayLabel; }
    void setThursdayLabel(Ref<UILabel> v) { m_thursdayLabel = std::move(v); }
    const Ref<UILabel>& fridayLabel() const { return m_fridayLabel; }
    void setFridayLabel(Ref<UILabel> v) { m_fridayLabel = std::move(v); }
    const Ref<UILabel>& saturdayLabel() const { return m_saturdayLabel; }
    void setSaturdayLabel(Ref<UILabel> v) { m_saturdayLabel = std::move(v); }
    const Ref<UILabel>& sundayLabel() const { return m_sundayLabel; }
    void setSundayLabel(Ref<UILabel> v) { m_sundayLabel = std::move(v); }
    const Ref<UIImageView>& mondayImageView() const { return m_mondayImageView; }
    void setMondayImageView(Ref<UIImageView> v) { m_mondayImageView = std::move(v); }
    const Ref<UIImageView>& tuesdayImageView() const { return m_tuesdayImageView; }
    void setTuesdayImageView(Ref<UIImageView> v) { m_tuesdayImageView = std::move(v); }
    const Ref<UIImageView>& wednesdayImageView() const { return m_wednesdayImageView; }
    void setWednesdayImageView(Ref<UIImageView> v) { m_wednesdayImageView = std::move(v); }
    const Ref<UIImageView>& thursdayImageView() const { return m_thursdayImageView; }
    void setThursdayImageView(Ref<UIImageView> v) { m_thursdayImageView = std::move(v); }
    const Ref<UIImageView>& fridayImageView() const { return m_fridayImageView; }
    void setFridayImageView(Ref<UIImageView> v) { m_fridayImageView = std::move(v); }
    const Ref<UIImageView>& saturdayImageView() const { return m_saturdayImageView; }
    void setSaturdayImageView(Ref<UIImageView> v) { m_saturdayImageView = std::move(v); }
    const Ref<UIImageView>& sundayImageView() const { return m_sundayImageView; }
    void setSundayImageView(Ref<UIImageView> v) { m_sundayImageView = std::move(v); }

private:
    Ref<UILabel> m_titleLabel;
    Ref<UILabel> m_mondayLabel;
    Ref<UILabel> m_tuesdayLabel;
    Ref<UILabel> m_wednesdayLabel;
    Ref<UILabel> m_thursdayLabel;
    Ref<UILabel> m_fridayLabel;
    Ref<UILabel> m_saturdayLabel;
    Ref<UILabel> m_sundayLabel;
    Ref<UIImageView> m_mondayImageView;
    Ref<UIImageView> m_tuesdayImageView;
    Ref<UIImageView> m_wednesdayImageView;
    Ref<UIImageView> m_thursdayImageView;
    Ref<UIImageView> m_fridayImageView;
    Ref<UIImageView> m_saturdayImageView;
    Ref<UIImageView> m_sundayImageView;
};
