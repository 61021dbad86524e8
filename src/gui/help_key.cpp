#include "help_key.h"

#include "base/program_files.h"
#include "platform/desktop_services.h"
#include "platform/language_texts.h"

#include <QShortcut>
#include <QUrl>
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
    QObject::connect(key, &QShortcut::activated, window, [&desktop, helpFile, section] {
        if (helpFile.isEmpty())
            return;
        QUrl address = QUrl::fromLocalFile(helpFile);
        if (!section.isEmpty())
            address.setFragment(section);
        desktop.openUrl(address.toString(QUrl::FullyEncoded));
    });
}

} // namespace sw
