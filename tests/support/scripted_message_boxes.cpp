#include "scripted_message_boxes.h"

namespace sw {

MessageAnswer ScriptedMessageBoxes::show(const QString& text, const QString& title, MessageIcon icon,
                                         MessageButtons buttons) {
    m_shown.append(Shown{text, title, icon, buttons});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

} // namespace sw
