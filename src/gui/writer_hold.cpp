#include "writer_hold.h"

#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"

namespace sw {

std::shared_ptr<void> holdWritingOrTell(const Platform& platform, const LanguageTexts& texts,
                                        MessageBoxes& boxes) {
    std::shared_ptr<void> hold = platform.holdWriting();
    if (!hold)
        boxes.show(texts.getText(QStringLiteral("MsgPrefixBusy")), QString(), MessageIcon::Exclamation,
                   MessageButtons::Ok);
    return hold;
}

bool plainNameOrTell(const QString& name, bool isFile, const LanguageTexts& texts, MessageBoxes& boxes) {
    if (!isFile || isPlainFileName(name))
        return true;
    boxes.show(texts.textForEntry(QStringLiteral("MsgNameNotWritable"), name), QString(),
               MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

} // namespace sw
