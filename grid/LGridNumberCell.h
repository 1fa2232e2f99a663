#pragma once

#include "grid/LGridAutoCell.h"

// A single-line text cell whose field is right-aligned, with the number pad. Main thread only.
class LGridNumberCell : public LGridAutoCell {
    VX_OBJECT(LGridNumberCell, LGridAutoCell)
public:
    explicit LGridNumberCell(Passkey key)
        : LGridAutoCell(key)
    {
    }
    static Ref<LGridNumberCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

protected:
    void setupTextInput(const Ref<UIView>& input) override;
};
