#pragma once

#include "platform/message_boxes.h"

#include <QPointer>
#include <QWidget>

namespace sw {

// Real modal message boxes over the given window; an empty title shows the program's title.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QString programTitle) : m_programTitle(std::move(programTitle)) {}

    void setParentWindow(QWidget* parent) { m_parent = parent; }
    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                       MessageButtons buttons) override;

private:
    QString m_programTitle;
    QPointer<QWidget> m_parent;
};

} // namespace sw
