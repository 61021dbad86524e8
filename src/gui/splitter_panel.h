#pragma once

#include "controls/splitter_core.h"

#include <QPointer>
#include <QWidget>

namespace sw {

class PropertyBag;
class TwipScale;

// A container that shows Control1 and Control2 side by side (or one above the other when Horizontal)
// with a draggable bar, pbSplit, between them. Lengths of the interface are in twips.
class SplitterPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int MinPanelSize READ MinPanelSize WRITE setMinPanelSize)
    Q_PROPERTY(bool Horizontal READ Horizontal WRITE setHorizontal)
    Q_PROPERTY(bool SnapToEdge READ SnapToEdge WRITE setSnapToEdge)
    Q_PROPERTY(int SplitterWidth READ SplitterWidth WRITE setSplitterWidth)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(uint BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(uint DragColor READ DragColor WRITE setDragColor)
    Q_PROPERTY(int Snapped READ Snapped WRITE setSnapped)

public:
    explicit SplitterPanel(QWidget* parent = nullptr);

    // The panels become children of the splitter; it sets their visibility and geometry.
    // nullptr detaches a panel without touching it.
    QWidget* Control1() const { return m_control1; }
    QWidget* Control2() const { return m_control2; }
    void setControl1(QWidget* control);
    void setControl2(QWidget* control);

    int MinPanelSize() const { return m_core.state().MinPanelSize; }
    bool Horizontal() const { return m_core.state().Horizontal; }
    bool SnapToEdge() const { return m_core.state().SnapToEdge; }
    int SplitterWidth() const { return m_core.state().SplitterWidth; }
    int Position() const { return m_core.state().Position; }
    uint BackColor() const { return m_core.state().BackColor; }
    uint DragColor() const { return m_core.state().DragColor; }
    int Snapped() const { return m_core.state().Snapped; }

    void setMinPanelSize(int value);
    void setHorizontal(bool value);
    void setSnapToEdge(bool value);
    void setSplitterWidth(int value);
    void setPosition(int value);
    void setBackColor(uint value);
    void setDragColor(uint value);
    void setSnapped(int value);

    // Whether a persisted property was written since the last load or save.
    bool propertiesChanged() const { return m_core.changed(); }
    void readProperties(const PropertyBag& bag);
    void writeProperties(PropertyBag& bag);

    bool isDragging() const { return m_dragging; }

public slots:
    void layoutPanels();

signals:
    // Raised at the end of every layout pass. The argument is the control's own Position: a handler
    // that changes it changes the control's position (without a new layout).
    void LayoutChanged(int& Position);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TwipScale scale() const;
    QSizeF innerTwips() const;
    void applyCursor();
    void paintBar(uint color);
    void applyBackColor();
    void dragTo(QPointF pointer);
    void dropBar();

    SplitterCore m_core;
    QPointer<QWidget> m_control1;
    QPointer<QWidget> m_control2;
    QWidget* m_pbSplit;
    bool m_dragging = false;
};

// The control under its conventional type name.
using ctlSplitterPanel = SplitterPanel;

} // namespace sw
