#include "app/view-controllers/detail/KESTAirportViewController.h"

#include "app/core/KESTAirport.h"
#include "graphics/UIColor.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(KESTAirportViewController);

Ref<KESTAirportViewController> KESTAirportViewController::initWithAirport(const Ref<KESTAirport>& airport)
{
    auto board = makeController<KESTAirportViewController>({}, nullptr);
    board->m_airport = airport;
    if (airport)
        board->setTitle(airport->title());
    return board;
}

std::string KESTAirportViewController::placeText() const
{
    if (!m_airport)
        return {};
    std::string text;
    for (const auto& part : { m_airport->city(), m_airport->country() }) {
        if (!part || part->empty())
            continue;
        text += (text.empty() ? "" : ", ") + *part;
    }
    return text;
}

void KESTAirportViewController::viewDidLoad()
{
    KESTBaseViewController::viewDidLoad();
    // The board is black, like a departure board; its text sits below the navigation bar that
    // lies over the top of the popover's content.
    view()->setBackgroundColor(UIColor::blackColor());
    m_placeLabel = UILabel::initWithFrame(CGRectMake(16, 72, 288, 44));
    m_placeLabel->setTextColor(UIColor::whiteColor());
    m_placeLabel->setText(placeText());
    view()->addSubview(m_placeLabel);
}
