#pragma once

#include <QString>

#include <memory>

namespace sw {

class LanguageTexts;
class MessageBoxes;
struct Platform;

// A window command's hold on the managed system (Platform::holdWriting), taken before it reads what it
// changes. When another writer still holds the system after the wait, the user is told in the
// language's sentence and the result is null: the command then changes nothing.
std::shared_ptr<void> holdWritingOrTell(const Platform& platform, const LanguageTexts& texts,
                                        MessageBoxes& boxes);

// False, after telling the user in the language's sentence, for a file whose name is not a plain file
// name (isPlainFileName): it is listed, but never written.
bool plainNameOrTell(const QString& name, bool isFile, const LanguageTexts& texts, MessageBoxes& boxes);

} // namespace sw
