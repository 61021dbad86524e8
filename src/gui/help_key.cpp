#include "help_key.h"

#include "base/program_files.h"
#include "help_window.h"
#include "platform/desktop_services.h"
#include "platform/language_texts.h"

#include <QShortcut>
#include <QWidget>

namespace sw {

QString userHelpFile(const ProgramFiles& files, const LanguageTexts& texts) {
    return files.helpFile(texts.getInfo(QStringLiteral("HelpFile")));
}

void bindHelpKey(QWidget* window, DesktopServices& desktop, const QString& helpFile, const QString& section) {
    // Binding again replaces the key: two would make F1 ambiguous and open nothing.
    delete window->findChild<QShortcut*>(QStringLiteral("helpKey"), Qt::FindDirectChildrenOnly);
    auto* key = new QShortcut(QKeySequence::HelpContents, window);
    key->setObjectName(QStringLiteral("helpKey"));
    // The window's own key: a dialog's F1 opens its section, not the main window's page.
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [window, &desktop, helpFile, section] {
        showHelpWindow(window, helpFile, desktop, section);
    });
}

} // namespace sw
