#include "prefix_switch.h"

#include "art.h"
#include "main_services.h"
#include "main_window.h"
#include "platform/language_texts.h"
#include "prefix_dialog.h"
#include "prefix_settings.h"
#include "prefixes/prefix_finder.h"
#include "prefixes/prefix_settings.h"
#include "startup.h"
#include "translate_form.h"

#include <QAction>
#include <QShortcut>
#include <QToolBar>

namespace sw {

void addPrefixChooserButton(frmMain& window, MainServices& services, const PrefixOpener& opener) {
    auto* toolbar = window.findChild<QToolBar*>(QStringLiteral("tlbMain"));
    if (!toolbar)
        return;
    QAction* first = toolbar->actions().value(0);
    auto* action = new QAction(artIcon(QStringLiteral("folder")),
                               services.texts.getText(QStringLiteral("PrefixButton")), toolbar);
    action->setObjectName(QStringLiteral("prefixes"));
    setLanguageKey(action, QStringLiteral("PrefixButton"));
    action->setProperty(kToolTipKeyProperty, QStringLiteral("PrefixButtonTip"));
    action->setToolTip(services.texts.getText(QStringLiteral("PrefixButtonTip")));
    toolbar->insertAction(first, action);
    toolbar->insertSeparator(first);
    if (QWidget* button = toolbar->widgetForAction(action))
        button->setAccessibleName(action->text());
    QObject::connect(action, &QAction::triggered, &window,
                     [&window, &services, opener] { openPrefixChooser(window, services, opener); });
    // A key of the window, as the others are, so it works with the toolbar hidden too.
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), &window);
    key->setObjectName(QStringLiteral("prefixKey"));
    QObject::connect(key, &QShortcut::activated, action, &QAction::trigger);
}

frmPrefixes* openPrefixChooser(frmMain& window, MainServices& services, const PrefixOpener& opener) {
    const QString shown = services.files.prefixFolder;
    auto* dialog = new frmPrefixes(
        services.texts, services.boxes, services.platform.desktop, services.files, opener,
        findPrefixes(userPrefixSearchPlaces(QProcessEnvironment::systemEnvironment())).prefixes,
        shown.isEmpty() ? lastUsedPrefix() : shown, demoPrefixFolder(services.files), &window);
    dialog->setWindowModality(Qt::WindowModal);
    QObject::connect(dialog, &QDialog::finished, &window, [&window, &services, opener, dialog](int result) {
        dialog->deleteLater();
        if (result == QDialog::Accepted && dialog->chosen())
            switchPrefix(window, services, opener, *dialog->chosen());
        else if (services.files.prefixFolder.isEmpty())
            window.close();
    });
    dialog->open();
    return dialog;
}

void switchPrefix(frmMain& window, MainServices& services, const PrefixOpener& opener,
                  const FoundPrefix& prefix) {
    const bool first = services.files.prefixFolder.isEmpty();
    if (!first)
        recordCheckList(services);
    // The window lets go of the old prefix's listing before its platform goes.
    window.setServices(nullptr);
    services.platform = opener.platform(prefix.path);
    services.files.prefixFolder = prefix.path;
    window.setServices(&services);
    if (first)
        fillMainWindow(window, services, prefix.name);
    else
        showPrefix(window, services, prefix.name);
    rememberLastUsedPrefix(prefix.path);
}

} // namespace sw
