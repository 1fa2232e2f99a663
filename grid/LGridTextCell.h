#pragma once

#include "grid/LGridAutoCell.h"

// A single-line text cell whose field is left-aligned, with the default keyboard. Main thread only.
class LGridTextCell : public LGridAutoCell {
    VX_OBJECT(LGridTextCell, LGridAutoCell)
public:
    explicit LGridTextCell(Passkey key)
        : LGridAutoCell(key)
    {
    }
    static Ref<LGridTextCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

protected:
    void setupTextInput(const Ref<UIView>& input) override;
};
