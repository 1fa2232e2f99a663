#pragma once

#include "foundation/Value.h"
#include "uikit/UITableViewCell.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class NSOperationQueue;
class UIButton;
class UIImageView;
class UILabel;

// One row of the airport board: closed (54 points) it shows flight number, time, the other
// airport and the status in yellow on black; opened (300 points) it fades in a second section
// with the airline logo, registration, callsign, both airports with their terminals and the
// "View on map" button. Main thread only.
class KESTAirportViewCell : public UITableViewCell {
    VX_OBJECT(KESTAirportViewCell, UITableViewCell)
public:
    explicit KESTAirportViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTAirportViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier);

    // Shows or hides the second section, fading over the duration when it is above 0.
    void showExtendedSectionDuration(bool shown, float duration);
    bool isExtended() const { return m_isExtended; }
    // The views of the second section, in fade order.
    std::vector<Ref<UIView>> secondSection() const;

    // Fills the row from a board item in the board's mode ("arr" or "dep"). An open row also
    // asks for the airline's logo on the queue and shows the airports' names.
    void fillFromItemModeOpen(
        const Value& item, const std::string& mode, bool open, const Ref<NSOperationQueue>& queue);
    // The colour of the status text for a "flightStatusV2" value.
    static Ref<UIColor> statusColorFor(const Value& status);

    const Ref<UILabel>& flightNoLabel() const { return m_flightNoLabel; }
    const Ref<UILabel>& callsignLabel() const { return m_callsignLabel; }
    const Ref<UILabel>& timeLabel() const { return m_timeLabel; }
    const Ref<UILabel>& directionLabel() const { return m_directionLabel; }
    const Ref<UILabel>& statusLabel() const { return m_statusLabel; }
    const Ref<UILabel>& airlineNameLabel() const { return m_airlineNameLabel; }
    const Ref<UILabel>& depAirportHeaderLabel() const { return m_depAirportHeaderLabel; }
    const Ref<UILabel>& depAirportNameLabel() const { return m_depAirportNameLabel; }
    const Ref<UILabel>& arrAirportHeaderLabel() const { return m_arrAirportHeaderLabel; }
    const Ref<UILabel>& arrAirportNameLabel() const { return m_arrAirportNameLabel; }
    const Ref<UILabel>& depTerminalHeaderLabel() const { return m_depTerminalHeaderLabel; }
    const Ref<UILabel>& depTerminalLabel() const { return m_depTerminalLabel; }
    const Ref<UILabel>& arrTerminalHeaderLabel() const { return m_arrTerminalHeaderLabel; }
    const Ref<UILabel>& arrTerminalLabel() const { return m_arrTerminalLabel; }
    const Ref<UILabel>& aircraftRegLabel() const { return m_aircraftRegLabel; }
    const Ref<UIButton>& actionButton() const { return m_actionButton; }
    const Ref<UIImageView>& airlineLogo() const { return m_airlineLogo; }
    const Ref<UIView>& dottedSeparatorView() const { return m_dottedSeparatorView; }
    // The airline code the last logo request of this row asked for.
    const std::string& lastLogoAirlineCode() const { return m_lastLogoAirlineCode; }

private:
    void build();

    Ref<UIView> m_cellBackground;
    Ref<UIView> m_extendedCellBackground;
    Ref<UIView> m_separatorView;
    bool m_isExtended { false };
    Ref<UILabel> m_flightNoLabel;
    Ref<UILabel> m_callsignLabel;
    Ref<UILabel> m_timeLabel;
    Ref<UILabel> m_directionLabel;
    Ref<UILabel> m_statusLabel;
    Ref<UILabel> m_airlineNameLabel;
    Ref<UILabel> m_depAirportHeaderLabel;
    Ref<UILabel> m_depAirportNameLabel;
    Ref<UILabel> m_arrAirportHeaderLabel;
    Ref<UILabel> m_arrAirportNameLabel;
    Ref<UILabel> m_depTerminalHeaderLabel;
    Ref<UILabel> m_depTerminalLabel;
    Ref<UILabel> m_arrTerminalHeaderLabel;
    Ref<UILabel> m_arrTerminalLabel;
    Ref<UILabel> m_aircraftRegLabel;
    Ref<UIButton> m_actionButton;
    Ref<UIImageView> m_airlineLogo;
    Ref<UIView> m_dottedSeparatorView;
    std::string m_lastLogoAirlineCode;
    // The airline whose logo the row shows, if any.
    std::optional<std::string> m_shownLogoAirlineCode;
    // Counts the fills: a logo answer is shown only while the row still shows the flight it was
    // asked for.
    uint64_t m_fillCount { 0 };
};
