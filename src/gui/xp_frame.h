#pragma once

#include <QWidget>
#include <cstdint>

namespace sw {

class PropertyBag;

// A container that paints a light shaded bar down its left side and a white body to the right,
// optionally with a thin border along its top and left edges. Lengths are in pixels.
class ctlXPFrame : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int pBarWidth READ pBarWidth WRITE setpBarWidth)
    Q_PROPERTY(bool pShowBorder READ pShowBorder WRITE setpShowBorder)

public:
    // Colours with red in the low byte.
    static constexpr std::uint32_t kBarColor = 0x00F3F8F9;
    static constexpr std::uint32_t kBodyColor = 0x00FFFFFF;
    static constexpr std::uint32_t kBorderColor = 0x0099A8AC;
    static constexpr int kDefaultBarWidth = 60;
    static constexpr bool kDefaultShowBorder = true;

    explicit ctlXPFrame(QWidget* parent = nullptr);

    int pBarWidth() const { return m_barWidth; }
    bool pShowBorder() const { return m_showBorder; }
    void setpBarWidth(int value);
    void setpShowBorder(bool value);

    // Whether a persisted property was written since the last load or save.
    bool propertiesChanged() const { return m_changed; }
    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_barWidth = kDefaultBarWidth;
    bool m_showBorder = kDefaultShowBorder;
    bool m_changed = false;
};

} // namespace sw
