#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"

#include <memory>

class KESTAirport;
class KESTSearchDelegate;
class UILabel;

// The board of one airport, opened from the accessory of an airport marker's callout and shown
// in the map's marker popover. For now it shows the airport's title and place; the arrivals and
// departures lists come with the board's own screen. Main thread only.
class KESTAirportViewController : public KESTBaseViewController {
    VX_OBJECT(KESTAirportViewController, KESTBaseViewController)
public:
    explicit KESTAirportViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTAirportViewController> initWithAirport(const Ref<KESTAirport>& airport);

    const Ref<KESTAirport>& airport() const { return m_airport; }
    // Asked to select a flight on the map: the map screen. Held weakly.
    std::shared_ptr<KESTSearchDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<KESTSearchDelegate> delegate) { m_delegate = std::move(delegate); }

    // The text the board shows under its title.
    std::string placeText() const;

    void viewDidLoad() override;

private:
    Ref<KESTAirport> m_airport;
    std::weak_ptr<KESTSearchDelegate> m_delegate;
    Ref<UILabel> m_placeLabel;
};
