#pragma once

#include "platform/message_boxes.h"

#include <QList>
#include <QString>

namespace sw {

// Answers message boxes from a script and records what was shown. With the script used up it
// answers No to questions and Ok to notices.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title;
        MessageIcon icon;
        MessageButtons buttons;
    };

    void enqueue(MessageAnswer answer) { m_answers.append(answer); }
    const QList<Shown>& shown() const { return m_shown; }

    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                       MessageButtons buttons) override;

private:
    QList<MessageAnswer> m_answers;
    QList<Shown> m_shown;
};

} // namespace sw
