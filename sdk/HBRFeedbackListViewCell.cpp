#include "sdk/HBRFeedbackListViewCell.h"

#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSDateComponents.h"
#include "foundation/NSDateFormatter.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "sdk/HBRHarborHelper.h"

#include <cmath>
#include <limits>

VX_REGISTER_CLASS(HBRFeedbackListViewCell);

namespace {

Ref<UIColor> grey(int level)
{
    return UIColor::colorWithRedGreenBlueAlpha(level / 255.0f, level / 255.0f, level / 255.0f, 1);
}

bool isUnsent(const Ref<HBRFeedbackMessage>& message)
{
    return message
        && (message->status == HBRFeedbackMessageStatusPending
            || message->status == HBRFeedbackMessageStatusSendInProgress);
}

} // namespace

Ref<HBRFeedbackListViewCell> HBRFeedbackListViewCell::initWithStyleReuseIdentifier(
    UITableViewCellStyle style, const std::string& reuseIdentifier)
{
    auto cell = makeCell<HBRFeedbackListViewCell>(style, reuseIdentifier);
    cell->m_dateFormatter = NSDateFormatter::init();
    cell->m_dateFormatter->setDateStyle(NSDateFormatterMediumStyle);
    cell->m_dateFormatter->setTimeStyle(NSDateFormatterNoStyle);
    cell->m_dateFormatter->setDoesRelativeDateFormatting(true);
    cell->m_timeFormatter = NSDateFormatter::init();
    cell->m_timeFormatter->setDateStyle(NSDateFormatterNoStyle);
    cell->m_timeFormatter->setTimeStyle(NSDateFormatterShortStyle);
    cell->m_timeFormatter->setDoesRelativeDateFormatting(true);

    cell->m_labelTitle = UILabel::initWithFrame(CGRectZero);
    cell->m_labelTitle->setFont(UIFont::systemFontOfSize(12));
    cell->m_labelText = HBRAttributedLabel::initWithFrame(CGRectZero);
    cell->m_labelText->setFont(UIFont::systemFontOfSize(15));
    cell->m_labelText->setNumberOfLines(0);
    cell->m_labelText->setTextAlignment(NSTextAlignmentLeft);
    cell->m_labelText->setDataDetectorTypes(UIDataDetectorTypeAll);
    return cell;
}

void HBRFeedbackListViewCell::setMessage(Ref<HBRFeedbackMessage> message)
{
    m_message = std::move(message);
    setNeedsLayout();
}

Ref<UIColor> HBRFeedbackListViewCell::backgroundColor() const
{
    if (m_style == 1)
        return UIColor::whiteColor();
    return m_backgroundStyle == 1 ? grey(235) : grey(245);
}

bool HBRFeedbackListViewCell::isSameDayWithDate1Date2(const Ref<NSDate>& date1, const Ref<NSDate>& date2)
{
    if (!date1 || !date2)
        return false;
    auto calendar = NSCalendar::currentCalendar();
    auto units = NSCalendarUnit(NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay);
    auto a = calendar->componentsFromDate(units, date1);
    auto b = calendar->componentsFromDate(units, date2);
    return a->day() == b->day() && a->month() == b->month() && a->year() == b->year();
}

float HBRFeedbackListViewCell::heightForRowWithMessageTableViewWidth(
    const Ref<HBRFeedbackMessage>& message, float width)
{
    std::string text = message && message->text ? *message->text : std::string();
    CGRect measured
        = NSString_Drawing::boundingRectWithSize(text, CGSizeMake(width - 20, std::numeric_limits<float>::max()),
            NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingUsesFontLeading,
            Value::dictionary({ { Value("NSFont"), Value(UIFont::systemFontOfSize(15)) } }));
    return std::ceil(measured.size.height + 8 + 25 + 5);
}

void HBRFeedbackListViewCell::layoutSubviews()
{
    CGFloat width = frame().size.width;
    auto background = backgroundColor();
    contentView()->setBackgroundColor(background);
    m_labelTitle->setBackgroundColor(background);
    m_labelText->setBackgroundColor(background);
    if (m_style == 0) {
        if (!m_backgroundStrip) {
            m_backgroundStrip = UIView::initWithFrame(CGRectZero);
            m_backgroundStrip->setClipsToBounds(true);
            m_backgroundStrip->setAutoresizingMask(UIViewAutoresizingFlexibleHeight);
            insertSubviewAtIndex(m_backgroundStrip, 0);
        }
        m_backgroundStrip->setFrame(CGRectMake(0, 2, width * 2, frame().size.height - 2));
        m_backgroundStrip->setBackgroundColor(background);
    }

    m_labelTitle->setTextColor(grey(75));
    m_labelText->setTextColor(isUnsent(m_message) ? grey(75) : grey(25));

    std::string title;
    if (isUnsent(m_message)) {
        title = HBRLocalizedString(std::string("Pending"));
    } else if (m_message && m_message->date) {
        auto date = NSDate::dateWithTimeIntervalSince1970(*m_message->date);
        title = isSameDayWithDate1Date2(date, NSDate::date()) ? m_timeFormatter->stringFromDate(date)
                                                              : m_dateFormatter->stringFromDate(date);
    }
    m_labelTitle->setText(title);
    m_labelTitle->setFrame(CGRectMake(10, 11, width - 20, 15));
    NSTextAlignment alignment = m_message && m_message->userMessage ? NSTextAlignmentRight : NSTextAlignmentLeft;
    m_labelTitle->setTextAlignment(alignment);
    m_labelText->setTextAlignment(alignment);

    m_labelText->setText(m_message && m_message->text ? *m_message->text : std::string());
    float rowHeight = heightForRowWithMessageTableViewWidth(m_message, width);
    m_labelText->setFrame(CGRectMake(10, 25, width - 20, rowHeight - 25 - 5));
    if (m_labelTitle->superview().get() != this)
        addSubview(m_labelTitle);
    if (m_labelText->superview().get() != this)
        addSubview(m_labelText);
    UITableViewCell::layoutSubviews();
}

void HBRFeedbackListViewCell::setFrame(CGRect frame)
{
    bool resized = !CGSizeEqualToSize(frame.size, this->frame().size);
    UITableViewCell::setFrame(frame);
    if (resized)
        setNeedsLayout();
}
