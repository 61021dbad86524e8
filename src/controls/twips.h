#pragma once

#include <QRect>
#include <QSizeF>

namespace sw {

// Nearest whole number, a half going to the even neighbour (the rounding every length conversion uses).
int roundHalfEven(double value);

// Twips (1/1440 inch) to device pixels and back at a given logical DPI. The widgets build one from
// their screen's current logical DPI for every conversion, so a screen change is followed.
class TwipScale {
public:
    TwipScale(double dpiX, double dpiY) : m_dpiX(dpiX), m_dpiY(dpiY) {}

    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;
    double toTwipsX(double pixels) const { return pixels * 1440.0 / m_dpiX; }
    double toTwipsY(double pixels) const { return pixels * 1440.0 / m_dpiY; }
    QSizeF toTwips(QSize pixels) const { return {toTwipsX(pixels.width()), toTwipsY(pixels.height())}; }

    // Edges are converted, not extents, so panels that touch in twips touch in pixels too.
    QRect toPixels(const QRect& twips) const;

private:
    double m_dpiX;
    double m_dpiY;
};

} // namespace sw
