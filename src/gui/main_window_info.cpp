// The information panel of the main window: the selected entry's program, rating and links.
#include "art.h"
#include "entries/wine_starts.h"
#include "entry_list_model.h"
#include "info/entry_information.h"
#include "main_services.h"
#include "main_window.h"
#include "platform/file_icons.h"
#include "platform/language_texts.h"
#include "splitter_panel.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeView>

namespace sw {

namespace {
constexpr int kAddressRole = Qt::UserRole;
}

void frmMain::describeFirstRow() {
    describeRow(m_model->index(0, 0));
}

void frmMain::describeRow(const QModelIndex& index) {
    const AutostartEntry* row = m_model->rowAt(index);
    if (!row || !m_services)
        return;
    const EntryInformation info = describeEntry(m_services->platform, m_services->database, *row);
    if (info.rating == EntryRating::ProgramMissing)
        showProgramMissing();
    else
        showEntryInformation(info);
    const LanguageTexts& texts = m_services->texts;
    txtInfo->appendPlainText(
        QLatin1Char('\n') +
        texts.getText(QStringLiteral("WineStartsLine"))
            .replace(QLatin1String("%WHEN%"), texts.getText(wineStartTextKey(wineStartOfRow(*row)))));
}

void frmMain::showProgramMissing() {
    const LanguageTexts& texts = m_services->texts;
    m_activateAllowed = false;
    applyWriteButtons();
    m_buttons.value(QStringLiteral("run"))->setEnabled(false);
    lblTitle->setText(texts.getText(QStringLiteral("NoIndication")));
    lblCompany->setText(texts.getText(QStringLiteral("NoIndication")));
    picIcon->setPixmap(artPixmap(QStringLiteral("CORRUPTED"), QSize(32, 32)));
    txtInfo->setPlainText(texts.getText(QStringLiteral("NoReference")));
}

void frmMain::showEntryInformation(const EntryInformation& info) {
    const LanguageTexts& texts = m_services->texts;
    picIcon->setPixmap(fileIconOf(m_services->platform, info.programPath, kLargeIcon).pixmap(QSize(32, 32)));
    lblTitle->setText(info.fileName + QStringLiteral(" (") + info.productName + QLatin1Char(')'));
    lblCompany->setProperty("tag", info.company);
    lblCompany->setText(texts.getText(QStringLiteral("Company")) + QLatin1Char(' ') + info.company);
    imgInfos->setPixmap(artPixmap(QStringLiteral("NORMAL"), imgInfos->size()));
    lvwLinks->clear();
    const QString noRecord = texts.getText(QStringLiteral("DBNoEntry"));
    txtInfo->setPlainText(noRecord);
    if (info.record > 0) {
        txtInfo->setPlainText(info.description);
        const QString links = m_services->database.description(info.record).links;
        if (!links.isEmpty())
            fillLinks(links);
        if (info.rating == EntryRating::Risk)
            imgInfos->setPixmap(artPixmap(QStringLiteral("RISK"), imgInfos->size()));
    }
    m_buttons.value(QStringLiteral("send"))->setEnabled(txtInfo->toPlainText() == noRecord);
    int position = SplitterPanel1->Position();
    splitterPanel1LayoutChanged(position);
    m_activateAllowed = true;
    applyWriteButtons();
    m_buttons.value(QStringLiteral("run"))->setEnabled(true);
}

void frmMain::fillLinks(const QString& links) {
    for (const Link& link : parseLinks(links)) {
        auto* item = new QListWidgetItem(artIcon(QStringLiteral("link")), link.text, lvwLinks);
        item->setData(kAddressRole, link.address);
    }
}

void frmMain::openLink(QListWidgetItem* item) {
    if (item && m_services)
        m_services->platform.desktop->openUrl(item->data(kAddressRole).toString());
}

} // namespace sw
