#include "startup.h"

#include "entries/check_list.h"
#include "entries/entry_actions.h"
#include "entries/wine_starts.h"
#include "help_key.h"
#include "info/database_check.h"
#include "main_services.h"
#include "main_window.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "platform/single_instance.h"
#include "qt_translations.h"
#include "translate_form.h"
#include "window_icon.h"

#include <QFileInfo>

namespace sw {

bool startLanguageAndInstance(StartupServices& services) {
    const QString languageProblem = loadUserLanguage(services.texts, services.files);
    installQtTranslations(services.texts);
    if (!languageProblem.isEmpty())
        services.boxes.show(languageProblem, QString(), MessageIcon::Exclamation, MessageButtons::Ok);
    if (services.instance.anotherInstanceRunning()) {
        services.boxes.show(services.texts.getText(QStringLiteral("AlreadyRunning")), QString(),
                            MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    }
    return true;
}

void prepareMainWindow(frmMain& window, StartupServices& services) {
    applyWindowIcon(&window, QStringLiteral("AA"));
    services.instance.createMarker(QLatin1String(kMarkerName));
    translateForm(&window, services.texts);
}

void fillMainWindow(frmMain& window, MainServices& services, const QString& prefixName) {
    window.attachSplitterControls();
    for (const DatabaseProblem& problem :
         loadDescriptionDatabase(services.files, services.texts, services.database))
        services.boxes.show(problem.text, problem.title, MessageIcon::Critical, MessageButtons::Ok);
    showPrefix(window, services, prefixName);
}

void showPrefix(frmMain& window, MainServices& services, const QString& prefixName) {
    // Bound anew: the key opens the help through the platform of this prefix.
    bindHelpKey(&window, *services.platform.desktop, userHelpFile(services.files, services.texts));
    window.buildCategoryTree();
    if (QFileInfo::exists(services.files.checkList()))
        window.ghostRowsMissingFrom(services.files.checkList());
    try {
        ensureBackupPlaces(services.platform, services.files.dataFolder());
    } catch (const std::exception&) {
        // Wine runs, or a read-only prefix: deleting will try again.
    }
    window.describeFirstRow();
    QString title = services.texts.getText(QStringLiteral("MainWinTitPrefix"));
    title.replace(QStringLiteral("%PREFIX%"),
                  prefixName.isEmpty() ? QFileInfo(services.files.prefixFolder).fileName() : prefixName);
    window.setWindowTitle(title);
}

void recordCheckList(MainServices& services) {
    // What the next start compares with: every place, those of "SERVICES" too.
    const QList<AutostartEntry> rows = listAllPlaces(services.platform, services.texts);
    try {
        // The prefix's records folder, when start-up could not make it (Wine ran then).
        if (!services.platform.fileSystem->attributes(services.files.dataFolder()))
            services.platform.fileSystem->createFolder(services.files.dataFolder());
    } catch (const std::exception&) {
        // A read-only prefix: the check list stays as it was.
    }
    writeCheckList(services.files.checkList(), rows);
}

void shutDown(frmMain& window, MainServices& services) {
    if (!services.files.prefixFolder.isEmpty())
        recordCheckList(services);
    window.detachSplitterControls();
}

} // namespace sw
