// The information panel of the main window: the selected entry's program, rating and links.
#include "art.h"
#include "entries/wine_starts.h"
#include "entry_list_model.h"
#include "info/entry_information.h"
#include "main_services.h"
#include "main_window.h"
#include "platform/file_icons.h"
#include "platform/language_texts.h"
#include "rating_strip.h"
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
    if (m_model->rowCount() > 0)
        lvwEntries->setCurrentIndex(m_model->index(0, 0));
    else
        clearInformation();
}

void frmMain::followSelection() {
    const QModelIndex current = lvwEntries->currentIndex();
    if (current.isValid() && lvwEntries->selectionModel()->isSelected(current))
        describeRow(current);
    else
        clearInformation();
}

void frmMain::clearInformation() {
    m_shownRow.reset();
    imgInfos->setArtKey(QStringLiteral("NORMAL"));
    picIcon->clear();
    lblTitle->clear();
    lblCompany->clear();
    lblCompany->setProperty("tag", QString());
    txtInfo->clear();
    lvwLinks->clear();
    applyWriteButtons();
}

void frmMain::describeRow(const QModelIndex& index) {
    const AutostartEntry* row = m_model->rowAt(index);
    if (!row || !m_services) {
        clearInformation();
        return;
    }
    const EntryInformation info = describeEntry(m_services->platform, m_services->database, *row);
    // Every part is set anew, so nothing of the row shown before stays.
    imgInfos->setArtKey(QStringLiteral("NORMAL"));
    lvwLinks->clear();
    if (info.rating == EntryRating::ProgramMissing)
        showProgramMissing();
    else
        showEntryInformation(info);
    const LanguageTexts& texts = m_services->texts;
    txtInfo->appendPlainText(
        QLatin1Char('\n') +
        texts.getText(QStringLiteral("WineStartsLine"))
            .replace(QLatin1String("%WHEN%"), texts.getText(wineStartTextKey(wineStartOfRow(*row)))));
    applyWriteButtons();
}

void frmMain::showProgramMissing() {
    const LanguageTexts& texts = m_services->texts;
    m_shownRow = ShownRow{true, false};
    lblTitle->setText(texts.getText(QStringLiteral("NoIndication")));
    lblCompany->setText(texts.getText(QStringLiteral("NoIndication")));
    lblCompany->setProperty("tag", QString());
    picIcon->setPixmap(artPixmap(QStringLiteral("CORRUPTED"), QSize(32, 32)));
    txtInfo->setPlainText(texts.getText(QStringLiteral("NoReference")));
}

void frmMain::showEntryInformation(const EntryInformation& info) {
    const LanguageTexts& texts = m_services->texts;
    picIcon->setPixmap(fileIconOf(m_services->platform, info.programPath, kLargeIcon).pixmap(QSize(32, 32)));
    // Parts the program does not tell are left out rather than shown empty.
    lblTitle->setText(info.productName.isEmpty()
                          ? info.fileName
                          : info.fileName + QStringLiteral(" (") + info.productName + QLatin1Char(')'));
    lblCompany->setProperty("tag", info.company);
    lblCompany->setText(info.company.isEmpty()
                            ? QString()
                            : texts.getText(QStringLiteral("Company")) + QLatin1Char(' ') + info.company);
    txtInfo->setPlainText(texts.getText(QStringLiteral("DBNoEntry")));
    if (info.record > 0) {
        txtInfo->setPlainText(info.description);
        const QString links = m_services->database.description(info.record).links;
        if (!links.isEmpty())
            fillLinks(links);
        if (info.rating == EntryRating::Risk)
            imgInfos->setArtKey(QStringLiteral("RISK"));
    }
    m_shownRow = ShownRow{false, info.record <= 0};
    int position = SplitterPanel1->Position();
    splitterPanel1LayoutChanged(position);
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
