#include "startup.h"

#include "main_window.h"
#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "platform/single_instance.h"
#include "translate_form.h"
#include "window_icon.h"

namespace sw {

bool startLanguageAndInstance(StartupServices& services) {
    services.texts.SetProgramName(QStringLiteral("StartWarden"));
    services.texts.LoadLanguage(languageSetting(services.files.defaultLanguageFile()));
    if (services.instance.anotherInstanceRunning()) {
        services.boxes.show(services.texts.GetText(QStringLiteral("AlreadyRunning")), QString(),
                            MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    }
    return true;
}

QString prepareMainWindow(frmMain& window, StartupServices& services) {
    SetWindowIcon(&window, QStringLiteral("AA"));
    services.instance.createMarker(QLatin1String(kMarkerName));
    const QString helpFile = services.files.helpFile(services.texts.GetInfo(QStringLiteral("HelpFile")));
    TranslateForm(&window, services.texts);
    return helpFile;
}

} // namespace sw
