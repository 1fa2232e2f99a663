#include "app/view-controllers/airport/KESTAirportViewCell.h"

#include "app/categories/UIImage+ProportionResize.h"
#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTURLEscaping.h"
#include "foundation/NSBundle.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageResponseSerializer.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTAirportViewCell);

namespace {

Ref<UIColor> yellow()
{
    return UIColor::colorWithRedGreenBlueAlpha(247 / 255.0f, 208 / 255.0f, 2 / 255.0f, 1);
}

Ref<UIColor> rgb(int r, int g, int b)
{
    return UIColor::colorWithRedGreenBlueAlpha(r / 255.0f, g / 255.0f, b / 255.0f, 1);
}

// A text of the item, or "N/A" when it is missing, null or not text.
std::string textOr(const Value& item, const char* key, const std::string& fallback)
{
    const Value& value = item.objectForKey(key);
    if (value.isString())
        return value.string();
    if (value.isNumber())
        return value.stringValue();
    return fallback;
}

Ref<UIColor> patternOf(const char* name)
{
    auto image = UIImage::imageNamed(name);
    return image ? UIColor::colorWithPatternImage(image) : UIColor::blackColor();
}

} // namespace

Ref<KESTAirportViewCell> KESTAirportViewCell::initWithStyleReuseIdentifier(
    UITableViewCellStyle style, const std::string& reuseIdentifier)
{
    auto cell = makeCell<KESTAirportViewCell>(style, reuseIdentifier);
    cell->build();
    return cell;
}

void KESTAirportViewCell::build()
{
    CGFloat w = frame().size.width;
    auto content = contentView();
    auto add = [&](const Ref<UIView>& view, UIViewAutoresizing mask) {
        view->setAutoresizingMask(mask);
        content->addSubview(view);
    };
    auto label = [&](CGRect frame, const std::string& text, const Ref<UIColor>& colour, CGFloat size) {
        auto view = UILabel::initWithFrame(frame);
        view->setBackgroundColor(UIColor::clearColor());
        view->setText(text);
        view->setTextColor(colour);
        view->setFont(UIFont::systemFontOfSize(size));
        return view;
    };
    const auto flexLR = UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin;
    auto grey = rgb(123, 123, 123);

    m_cellBackground = UIView::initWithFrame(CGRectMake(0, 0, w, 44));
    m_cellBackground->setBackgroundColor(patternOf("airportCellBackground.png"));
    add(m_cellBackground, UIViewAutoresizingFlexibleWidth);
    m_extendedCellBackground = UIView::initWithFrame(CGRectMake(0, 45, w, 248));
    m_extendedCellBackground->setBackgroundColor(patternOf("airportCellExtendedBackground.png"));
    m_extendedCellBackground->setAlpha(0);
    add(m_extendedCellBackground, UIViewAutoresizingFlexibleWidth);
    m_flightNoLabel = label(CGRectMake(16, 14, 75, 16), NSString::uppercaseString("-"), yellow(), 18);
    m_flightNoLabel->setAdjustsFontSizeToFitWidth(true);
    add(m_flightNoLabel, UIViewAutoresizingFlexibleRightMargin);
    m_timeLabel = label(CGRectMake(110, 14, 75, 16), "00:00", yellow(), 18);
    add(m_timeLabel, flexLR);
    m_directionLabel = label(CGRectMake(186, 14, 75, 16), "-", yellow(), 18);
    add(m_directionLabel, flexLR);
    m_statusLabel = label(CGRectMake(w - 91, 14, 75, 16), "+00:00", yellow(), 18);
    m_statusLabel->setTextAlignment(NSTextAlignmentRight);
    add(m_statusLabel, UIViewAutoresizingFlexibleLeftMargin);
    m_airlineLogo = UIImageView::initWithFrame(CGRectMake(16, 60, w - 120, 45));
    m_airlineLogo->setBackgroundColor(UIColor::clearColor());
    m_airlineLogo->setContentMode(UIViewContentModeScaleAspectFill);
    add(m_airlineLogo, UIViewAutoresizingNone);
    m_aircraftRegLabel = label(CGRectMake(w - 91, 60, 75, 16), "", UIColor::whiteColor(), 18);
    m_aircraftRegLabel->setAdjustsFontSizeToFitWidth(true);
    m_aircraftRegLabel->setTextAlignment(NSTextAlignmentRight);
    add(m_aircraftRegLabel, UIViewAutoresizingFlexibleLeftMargin);
    m_callsignLabel = label(CGRectMake(w - 91, 90, 75, 16), "", UIColor::whiteColor(), 18);
    m_callsignLabel->setAdjustsFontSizeToFitWidth(true);
    m_callsignLabel->setTextAlignment(NSTextAlignmentRight);
    add(m_callsignLabel, UIViewAutoresizingFlexibleLeftMargin);
    m_depAirportHeaderLabel = label(CGRectMake(16, 130, 210, 16), NSLocalizedString("Departs"), grey, 11);
    add(m_depAirportHeaderLabel, UIViewAutoresizingNone);
    m_depAirportNameLabel = label(CGRectMake(16, 148, 210, 22), "Unknown", UIColor::whiteColor(), 16);
    m_depAirportNameLabel->setAdjustsFontSizeToFitWidth(true);
    add(m_depAirportNameLabel, UIViewAutoresizingNone);
    m_depTerminalHeaderLabel = label(CGRectMake(241, 130, 50, 16), NSLocalizedString("Terminal"), grey, 11);
    add(m_depTerminalHeaderLabel, UIViewAutoresizingFlexibleLeftMargin);
    m_depTerminalLabel = label(CGRectMake(241, 148, 45, 22), "-", UIColor::whiteColor(), 16);
    add(m_depTerminalLabel, UIViewAutoresizingFlexibleLeftMargin);
    m_arrAirportHeaderLabel = label(CGRectMake(16, 176, 210, 16), NSLocalizedString("Arrives"), grey, 11);
    add(m_arrAirportHeaderLabel, UIViewAutoresizingNone);
    m_arrAirportNameLabel = label(CGRectMake(16, 194, 210, 22), "Unknown", UIColor::whiteColor(), 16);
    m_arrAirportNameLabel->setAdjustsFontSizeToFitWidth(true);
    add(m_arrAirportNameLabel, UIViewAutoresizingNone);
    m_arrTerminalHeaderLabel = label(CGRectMake(241, 176, 50, 16), NSLocalizedString("Terminal"), grey, 11);
    add(m_arrTerminalHeaderLabel, UIViewAutoresizingFlexibleLeftMargin);
    m_arrTerminalLabel = label(CGRectMake(241, 194, 45, 22), "-", UIColor::whiteColor(), 16);
    add(m_arrTerminalLabel, UIViewAutoresizingFlexibleLeftMargin);
    m_actionButton = UIButton::buttonWithType(UIButtonTypeCustom);
    m_actionButton->setFrame(CGRectMake(16, 226, w - 32, 44));
    m_actionButton->setTitleForState(NSLocalizedString("View on map"), UIControlStateNormal);
    m_actionButton->titleLabel()->setFont(UIFont::systemFontOfSize(18));
    if (auto image = UIImage::imageNamed("airportViewMapButton.png")) {
        auto stretched = image->resizableImageWithCapInsets(UIEdgeInsetsMake(0, 5, 0, 5));
        m_actionButton->setBackgroundImageForState(stretched, UIControlStateNormal);
        m_actionButton->setBackgroundImageForState(stretched, UIControlStateHighlighted);
    }
    m_actionButton->setAdjustsImageWhenHighlighted(false);
    add(m_actionButton, UIViewAutoresizingFlexibleWidth);
    m_dottedSeparatorView = UIImageView::initWithFrame(CGRectMake(16, 113, w - 32, 1));
    m_dottedSeparatorView->setBackgroundColor(patternOf("airportSeparatorBackground.png"));
    add(m_dottedSeparatorView, UIViewAutoresizingFlexibleWidth);
    m_separatorView = UIView::initWithFrame(CGRectMake(0, 22, frame().size.width, 1));
    m_separatorView->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0.5f));
    add(m_separatorView, UIViewAutoresizingFlexibleWidth);
    setBackgroundColor(UIColor::blackColor());
    for (const auto& view : secondSection()) {
        if (view != m_airlineLogo)
            view->setAlpha(0);
    }
}

std::vector<Ref<UIView>> KESTAirportViewCell::secondSection() const
{
    return { m_airlineLogo, m_callsignLabel, m_aircraftRegLabel, m_depAirportHeaderLabel, m_depAirportNameLabel,
        m_arrAirportHeaderLabel, m_arrAirportNameLabel, m_depTerminalHeaderLabel, m_depTerminalLabel,
        m_arrTerminalHeaderLabel, m_arrTerminalLabel, m_dottedSeparatorView, m_actionButton, m_extendedCellBackground };
}

void KESTAirportViewCell::showExtendedSectionDuration(bool shown, float duration)
{
    m_isExtended = shown;
    float end = shown ? 1 : 0;
    auto views = secondSection();
    if (duration > 0) {
        for (const auto& view : views)
            view->setAlpha(1 - end);
        UIView::animateWithDuration(duration, [views, end] {
            for (const auto& view : views)
                view->setAlpha(end);
        });
    } else {
        for (const auto& view : views)
            view->setAlpha(end);
    }
    setNeedsDisplay();
}

Ref<UIColor> KESTAirportViewCell::statusColorFor(const Value& status)
{
    // A missing status is no class at all: yellow, not the blue of class 0.
    if (status.isNilOrNull())
        return yellow();
    switch (status.intValue()) {
    case 0:
        return rgb(31, 149, 217);
    case 1:
        return rgb(217, 31, 31);
    case 2:
    case 3:
        return rgb(140, 200, 35);
    default:
        return yellow();
    }
}

void KESTAirportViewCell::fillFromItemModeOpen(
    const Value& item, const std::string& mode, bool open, const Ref<NSOperationQueue>& queue)
{
    showExtendedSectionDuration(open, 0);
    std::string na = "N/A";
    std::string depApt = textOr(item, "legDepApt", na), arrApt = textOr(item, "legArrApt", na);
    std::string depTrm = textOr(item, "legDepTrm", na), arrTrm = textOr(item, "legArrTrm", na);
    std::string arrTim = textOr(item, "legArrTim", na);
    uint64_t fill = ++m_fillCount;
    m_flightNoLabel->setText(textOr(item, "fltno", na));
    m_callsignLabel->setText(textOr(item, "callsign", na));
    m_aircraftRegLabel->setText(textOr(item, "reg", na));
    m_timeLabel->setText(arrTim);
    m_directionLabel->setText(mode == "arr" ? depApt : arrApt);
    m_statusLabel->setText(textOr(item, "flightETAV2", na));
    m_statusLabel->setAlpha(1);
    m_depAirportNameLabel->setText(depApt);
    m_arrAirportNameLabel->setText(arrApt);
    m_depTerminalLabel->setText(depTrm);
    m_arrTerminalLabel->setText(arrTrm);
    if (open) {
        auto plane = KESTLiveDataManager::sharedInstance()->planeWithADSHEX(textOr(item, "adshex", ""));
        std::string airline = plane ? plane->airlineICAO().value_or("") : std::string();
        m_lastLogoAirlineCode = airline;
        // A reused row does not keep another airline's logo, whether or not this one comes.
        if (m_shownLogoAirlineCode != airline) {
            m_airlineLogo->setImage(nullptr);
            m_airlineLogo->setBackgroundColor(UIColor::clearColor());
            m_shownLogoAirlineCode = std::nullopt;
        }
        auto url = NSURL::URLWithString(NSString::stringWithFormat("%@v1/getLogo.php?airlineCode=%@",
            KESTPlaneMarkerManager::logoServiceBaseURL(), KESTURLEscaping::escapedValue(airline)));
        if (url && queue) {
            auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
            operation->setResponseSerializer(VNImageResponseSerializer::serializer());
            Weak<KESTAirportViewCell> weak = self<KESTAirportViewCell>();
            operation->setCompletionBlockWithSuccessFailure(
                [weak, fill, airline](const Ref<VNHTTPRequestOperation>&, const Value& answer) {
                    auto cell = weak.lock();
                    auto image = answer.objectAs<UIImage>();
                    if (!cell || !image || cell->m_fillCount != fill)
                        return;
                    cell->m_shownLogoAirlineCode = airline;
                    CGSize box = cell->m_airlineLogo->bounds().size;
                    cell->m_airlineLogo->setBackgroundColor(UIColor::whiteColor());
                    cell->m_airlineLogo->setImage(UIImage_ProportionResize::imageByScalingProportionallyToSize(
                        image, CGSizeMake(box.width * 2, box.height * 2)));
                },
                [](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {});
            queue->addOperation(operation);
        }
        auto data = KESTFlightDataManager::sharedInstance();
        if (auto names = data->getAirportFullNameArray(arrApt))
            m_arrAirportNameLabel->setText((*names)[0]);
        if (auto names = data->getAirportFullNameArray(depApt))
            m_depAirportNameLabel->setText((*names)[0]);
    }
    m_statusLabel->setTextColor(statusColorFor(item.objectForKey("flightStatusV2")));
}
