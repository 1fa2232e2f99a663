#pragma once

#include "app/view-controllers/filters/KESTFilterDataCell.h"

class UISegmentedControl;

// Told when a row of the filter editor changed its condition in a way that needs a recount.
class KESTFilterAirportCellDelegate {
public:
    virtual ~KESTFilterAirportCellDelegate() = default;
    virtual void updateUI() { }
};

// An airport row of the filter editor: a value row with the choice between inbound (0),
// outbound (1) and both (2), stored as the condition's filterAirportType. Built from the layout
// "KESTFilterAirportCell". Main thread only.
class KESTFilterAirportCell : public KESTFilterDataCell {
    VX_OBJECT(KESTFilterAirportCell, KESTFilterDataCell)
public:
    explicit KESTFilterAirportCell(Passkey key)
        : KESTFilterDataCell(key)
    {
    }
    static Ref<KESTFilterAirportCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFilterAirportCell>(style, reuseIdentifier);
    }

    void awakeFromNib() override;
    void airportSegmentChange(const Ref<NSObject>& sender);

    Ref<UISegmentedControl> airportSegment() const { return m_airportSegment.lock(); }
    void setAirportSegment(const Ref<UISegmentedControl>& control) { m_airportSegment = control; }
    KESTFilterAirportCellDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    void setDelegate(KESTFilterAirportCellDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }

private:
    Weak<UISegmentedControl> m_airportSegment;
    KESTFilterAirportCellDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
