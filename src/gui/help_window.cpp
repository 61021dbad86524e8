#include "help_window.h"

#include "platform/desktop_services.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace sw {

namespace {

QPointer<QWidget> g_helpWindow;

QWidget* createHelpWindow(QWidget* owner, DesktopServices& desktop) {
    auto* window = new QWidget(owner, Qt::Window);
    window->setObjectName(QStringLiteral("frmHelp"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("txtHelp"));
    browser->document()->setDocumentMargin(12);
    // Pages of the help folder open here; anything else (a web address) goes to the desktop.
    browser->setOpenLinks(false);
    QObject::connect(browser, &QTextBrowser::anchorClicked, browser, [browser, &desktop](const QUrl& link) {
        const QUrl target = browser->source().resolved(link);
        if (target.isLocalFile())
            browser->setSource(target);
        else
            desktop.openUrl(target.toString(QUrl::FullyEncoded));
    });
    // The page's own title names the window and the browser, in the page's language.
    QObject::connect(browser, &QTextBrowser::sourceChanged, window, [window, browser] {
        window->setWindowTitle(browser->documentTitle());
        browser->setAccessibleName(browser->documentTitle());
    });
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(close, &QShortcut::activated, window, &QWidget::close);
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 0.9 : QSize(720, 640);
    window->resize(QSize(720, 640).boundedTo(room));
    return window;
}

} // namespace

void showHelpWindow(QWidget* caller, const QString& helpFile, DesktopServices& desktop,
                    const QString& section) {
    if (helpFile.isEmpty())
        return;
    QWidget* owner = caller ? caller->window() : nullptr;
    if (g_helpWindow && g_helpWindow->parentWidget() != owner)
        delete g_helpWindow;
    if (!g_helpWindow)
        g_helpWindow = createHelpWindow(owner, desktop);
    auto* browser = g_helpWindow->findChild<QTextBrowser*>(QStringLiteral("txtHelp"));
    QUrl address = QUrl::fromLocalFile(helpFile);
    if (!section.isEmpty())
        address.setFragment(section);
    browser->setSource(address);
    if (!section.isEmpty())
        browser->scrollToAnchor(section);
    g_helpWindow->show();
    g_helpWindow->raise();
    g_helpWindow->activateWindow();
}

} // namespace sw
