#pragma once

#include <QString>

namespace sw {

enum class MessageIcon { None, Information, Question, Exclamation, Critical };
// YesNoDefaultNo: Enter and a box closed unanswered mean No, for questions whose Yes loses data.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo };
enum class MessageAnswer { Ok, Yes, No };

// Modal message boxes. The window implementation shows real boxes; tests answer from a script.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // An empty title shows the program's title.
    virtual MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                               MessageButtons buttons) = 0;
};

} // namespace sw
