#include "qt_message_boxes.h"

#include <QMessageBox>

namespace sw {

namespace {
QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MessageAnswer QtMessageBoxes::show(const QString& text, const QString& title, MessageIcon icon,
                                   MessageButtons buttons) {
    const bool question = buttons != MessageButtons::Ok;
    QMessageBox box(toQtIcon(icon), title.isEmpty() ? m_programTitle : title, text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, m_parent);
    if (buttons == MessageButtons::YesNoDefaultNo) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    const int answer = box.exec();
    if (!question)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace sw
