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
    QWidget* Control1() const { return control1_; }
    QWidget* Control2() const { return control2_; }
    void setControl1(QWidget* control);
    void setControl2(QWidget* control);

    int MinPanelSize() const { return core_.state().MinPanelSize; }
    bool Horizontal() const { return core_.state().Horizontal; }
    bool SnapToEdge() const { return core_.state().SnapToEdge; }
    int SplitterWidth() const { return core_.state().SplitterWidth; }
    int Position() const { return core_.state().Position; }
    uint BackColor() const { return core_.state().BackColor; }
    uint DragColor() const { return core_.state().DragColor; }
    int Snapped() const { return core_.state().Snapped; }

    void setMinPanelSize(int value);
    void setHorizontal(bool value);
    void setSnapToEdge(bool value);
    void setSplitterWidth(int value);
    void setPosition(int value);
    void setBackColor(uint value);
    void setDragColor(uint value);
    void setSnapped(int value);

    // Whether a persisted property was written since the last load or save.
    bool propertiesChanged() const { return core_.changed(); }
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag);

    bool isDragging() const { return dragging_; }

public slots:
    void LayoutPanels();

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

    SplitterCore core_;
    QPointer<QWidget> control1_;
    QPointer<QWidget> control2_;
    QWidget* pbSplit_;
    bool dragging_ = false;
};

// The control under its conventional type name.
using ctlSplitterPanel = SplitterPanel;

} // namespace sw
