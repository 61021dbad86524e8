#pragma once

#include <QLabel>
#include <QString>

namespace sw {

// The information panel's rating strip: one of the program's pictures, drawn afresh at the strip's
// size and the screen's pixel ratio whenever either changes, so that it is never a stretched copy.
class RatingStrip : public QLabel {
    Q_OBJECT
public:
    explicit RatingStrip(QWidget* parent = nullptr);

    // The picture's key ("NORMAL", "RISK").
    void setArtKey(const QString& key);
    const QString& artKey() const { return m_key; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void render();

    QString m_key;
};

} // namespace sw
