#pragma once

#include "foundation/Value.h"
#include "uikit/UITableViewCell.h"

#include <vector>

class UILabel;

// The flight tab's codeshare row: up to fifteen codeshare flight numbers, three per line. Built from the layout
// "KESTFlightCodeshareViewCell"; main thread only.
class KESTFlightCodeshareViewCell : public UITableViewCell {
    VX_OBJECT(KESTFlightCodeshareViewCell, UITableViewCell)
public:
    explicit KESTFlightCodeshareViewCell(Passkey key)
        : UITableViewCell(key)
    {
    }
    static Ref<KESTFlightCodeshareViewCell> initWithStyleReuseIdentifier(
        UITableViewCellStyle style, const std::string& reuseIdentifier)
    {
        return makeCell<KESTFlightCodeshareViewCell>(style, reuseIdentifier);
    }

    // Styles the labels once the layout has built the cell.
    virtual void awakeFromNib();

    static constexpr int32_t kLabelCount = 15;
    // Label i (1 to 15), by the name "codeshareLabel%d"; nullptr outside that range.
    Ref<UILabel> codeshareLabel(int32_t i) const;
    void setCodeshareLabels(std::vector<Ref<UILabel>> labels) { m_codeshareLabels = std::move(labels); }
    // Element 0 is the codeshare list: each label shows its entry or hides; an empty list shows
    // one "N/A".
    void setData(const Value& data);
    // 64 points below two entries, else a 34-point line per three entries plus 32.
    static float heightWithData(const Value& list);

private:
    std::vector<Ref<UILabel>> m_codeshareLabels;

public:
    const Ref<UILabel>& codeshareDescriptionLabel() const { return m_codeshareDescriptionLabel; }
    void setCodeshareDescriptionLabel(Ref<UILabel> v) { m_codeshareDescriptionLabel = std::move(v); }

private:
    Ref<UILabel> m_codeshareDescriptionLabel;
};
