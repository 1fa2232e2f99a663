#include "app/view-controllers/filters/KESTFilterAirportCell.h"

#include "app/core/KESTFilterDetail.h"
#include "foundation/NSBundle.h"
#include "uikit/UISegmentedControl.h"

VX_REGISTER_CLASS(KESTFilterAirportCell);

void KESTFilterAirportCell::awakeFromNib()
{
    KESTFilterDataCell::awakeFromNib();
    auto segment = airportSegment();
    if (!segment)
        return;
    segment->addTarget(self<KESTFilterAirportCell>(), &KESTFilterAirportCell::airportSegmentChange,
        "airportSegmentChange:", UIControlEventValueChanged);
    const char* titles[] = { "Inbound", "Outbound", "Both" };
    for (int32_t i = 0; i < 3; ++i)
        segment->setTitleForSegmentAtIndex(NSLocalizedString(titles[i]), i);
}

void KESTFilterAirportCell::airportSegmentChange(const Ref<NSObject>&)
{
    auto segment = airportSegment();
    if (segment && attachedFilter())
        attachedFilter()->setFilterAirportType(Value(segment->selectedSegmentIndex()));
    if (auto target = delegate()) {
        auto owner = m_delegateOwner.lock();
        target->updateUI();
    }
}
