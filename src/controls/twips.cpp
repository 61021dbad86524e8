#include "twips.h"

#include <algorithm>
#include <cmath>

namespace sw {

int roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double diff = value - lower;
    double result = lower;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(lower, 2.0) != 0.0))
        result = lower + 1.0;
    return static_cast<int>(std::clamp(result, -2147483648.0, 2147483647.0));
}

int TwipScale::toPixelsX(double twips) const {
    return roundHalfEven(twips * m_dpiX / 1440.0);
}

int TwipScale::toPixelsY(double twips) const {
    return roundHalfEven(twips * m_dpiY / 1440.0);
}

QRect TwipScale::toPixels(const QRect& twips) const {
    const double left = twips.x();
    const double top = twips.y();
    const int x = toPixelsX(left);
    const int y = toPixelsY(top);
    const int width = std::max(1, toPixelsX(left + twips.width()) - x);
    const int height = std::max(1, toPixelsY(top + twips.height()) - y);
    return {x, y, width, height};
}

} // namespace sw
