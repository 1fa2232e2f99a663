#pragma once

#include "graphics/CALayer.h"

#include <vector>

// A layer that fills its bounds with an axial gradient between colours at locations, from a
// start point to an end point in unit coordinates of the bounds. Main thread only.
class CAGradientLayer : public CALayer {
    VX_OBJECT(CAGradientLayer, CALayer)
public:
    explicit CAGradientLayer(Passkey key)
        : CALayer(key)
    {
    }
    static Ref<CAGradientLayer> layer() { return make<CAGradientLayer>(); }

    const std::vector<CGColorRef>& colors() const { return m_colors; }
    void setColors(std::vector<CGColorRef> colors) { m_colors = std::move(colors); }
    // Empty means evenly spread.
    const std::vector<CGFloat>& locations() const { return m_locations; }
    void setLocations(std::vector<CGFloat> locations) { m_locations = std::move(locations); }
    CGPoint startPoint() const { return m_start; }
    void setStartPoint(CGPoint p) { m_start = p; }
    CGPoint endPoint() const { return m_end; }
    void setEndPoint(CGPoint p) { m_end = p; }
    // "axial" only.
    const std::string& type() const { return m_type; }
    void setType(std::string type) { m_type = std::move(type); }

protected:
    void drawBackgroundAndContents(const CGContextRef& context) override;

private:
    std::vector<CGColorRef> m_colors;
    std::vector<CGFloat> m_locations;
    CGPoint m_start { 0.5f, 0 };
    CGPoint m_end { 0.5f, 1 };
    std::string m_type { "axial" };
};
