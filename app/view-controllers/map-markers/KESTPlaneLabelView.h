#pragma once

#include "foundation/Value.h"
#include "uikit/UIView.h"

class KESTPlane;

// The small label that hangs under a plane marker: a registration, flight number or callsign
// bubble, or an airline logo on a plate. It draws nothing itself; its plane draws the content
// into its bounds. Main thread only.
class KESTPlaneLabelView : public UIView {
    VX_OBJECT(KESTPlaneLabelView, UIView)
public:
    explicit KESTPlaneLabelView(Passkey key)
        : UIView(key)
    {
    }
    // A clear background.
    static Ref<KESTPlaneLabelView> initWithFrame(CGRect frame);

    const Ref<KESTPlane>& plane() const { return m_plane; }
    void setPlane(Ref<KESTPlane> plane) { m_plane = std::move(plane); }
    // A text, an image (as an object value) or nil.
    const Value& content() const { return m_content; }
    void setContent(Value content) { m_content = std::move(content); }

    void drawRect(CGRect rect) override;

private:
    Ref<KESTPlane> m_plane;
    Value m_content;
};
