#pragma once

#include "sdk/HBRAttributedLabel.h"
#include "sdk/HBRFeedbackMessage.h"
#include "uikit/UITableViewCell.h"

class NSDate;
class NSDateFormatter;

// One message row of the feedback list: a date or status line above the message text, whose
// links can be tapped. Own messages are aligned right. Main thread only.
class HBRFeedbackListViewCell : public UITableViewCell {
    VX_OBJECT(HBRFeedbackListViewCell, UITableViewCell)
public:
    explicit HBRFeedbackListViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<HBRFeedbackListViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier);

    const Ref<HBRFeedbackMessage>& message() const { return m_message; }
    void setMessage(Ref<HBRFeedbackMessage> message);
    uint32_t style() const { return m_style; }
    void setStyle(uint32_t style) { m_style = style; }
    uint32_t backgroundStyle() const { return m_backgroundStyle; }
    void setBackgroundStyle(uint32_t style) { m_backgroundStyle = style; }
    const Ref<UILabel>& labelTitle() const { return m_labelTitle; }
    const Ref<HBRAttributedLabel>& labelText() const { return m_labelText; }

    // The row's background by its style: white for the system look, two greys otherwise.
    Ref<UIColor> backgroundColor() const;
    static bool isSameDayWithDate1Date2(const Ref<NSDate>& date1, const Ref<NSDate>& date2);
    // The height of a row showing the message in a table of the given width.
    static float heightForRowWithMessageTableViewWidth(const Ref<HBRFeedbackMessage>& message, float width);
    void layoutSubviews() override;
    // A new size lays the labels out again.
    void setFrame(CGRect frame) override;

private:
    Ref<HBRFeedbackMessage> m_message;
    uint32_t m_style { 0 };
    uint32_t m_backgroundStyle { 0 };
    Ref<UILabel> m_labelTitle;
    Ref<HBRAttributedLabel> m_labelText;
    Ref<UIView> m_backgroundStrip;
    Ref<NSDateFormatter> m_dateFormatter;
    Ref<NSDateFormatter> m_timeFormatter;
};
