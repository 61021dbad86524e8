#include "add_edit_dialog.h"

#include "art.h"
#include "controls/twips.h"
#include "entries/entry_actions.h"
#include "entries/places.h"
#include "entries/program_field.h"
#include "help_key.h"
#include "main_services.h"
#include "move_dialog.h"
#include "platform/file_icons.h"
#include "platform/language_texts.h"
#include "translate_form.h"
#include "writer_hold.h"

#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace sw {

namespace {

// Both dialogs' section of the help page.
const QString kHelpSection = QStringLiteral("add-edit");

QString defaultFilePicker(QWidget* parent, const QString& title, const QString& folder,
                          const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QLabel* newLabel(QWidget* parent, const char* name, const QString& text, const char* languageKey) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    if (languageKey)
        setLanguageKey(label, QLatin1String(languageKey));
    return label;
}

// A button without a caption of its own ("...") is named for screen readers by the language key.
QPushButton* newButton(QWidget* parent, const char* name, const QString& text,
                       const char* nameKey = nullptr) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    if (nameKey)
        button->setProperty(kAccessibleNameKeyProperty, QLatin1String(nameKey));
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmAddEdit::frmAddEdit(MainServices& services, QWidget* parent)
    : QDialog(parent), m_services(services), m_pickFile(defaultFilePicker) {
    setObjectName(QStringLiteral("frmAddEdit"));
    setWindowTitle(QStringLiteral("Hinzufügen"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    setFont(font);
    createControls();
    placeControls();
    translateForm(this, m_services.texts);
    fitCaptions();
    bindHelpKey(this, *m_services.platform.desktop, userHelpFile(m_services.files, m_services.texts),
                kHelpSection);
}

void frmAddEdit::fitCaptions() {
    // A translated caption may be wider or taller than the designed label; it may use the room up
    // to the field it names.
    for (QLabel* label : {lblPlaceCaption, lblPathCaption}) {
        const QSize wanted = label->sizeHint();
        const int room = txtPath->x() - label->x() - 2;
        label->resize(std::max(label->width(), std::min(wanted.width(), room)),
                      std::max(label->height(), wanted.height()));
    }
}

void frmAddEdit::createControls() {
    picIcon = newLabel(this, "picIcon", QString(), nullptr);
    picIcon->setProperty(kAccessibleNameKeyProperty, QStringLiteral("ProgramIconName"));
    txtName = new QLineEdit(QStringLiteral("Neuer Eintrag"), this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setProperty(kAccessibleNameKeyProperty, QStringLiteral("name"));
    // No length limit here: a field would cut a longer name silently; OK refuses it with a message.
    txtName->installEventFilter(this);
    lblNameCaption = newLabel(this, "lblNameCaption", QStringLiteral("Name:"), "NameSW");
    lblNameCaption->setBuddy(txtName);
    lblPathCaption = newLabel(this, "lblPathCaption", QStringLiteral("Ziel:"), "TargetSW");
    txtPath = new QLineEdit(this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    lblPathCaption->setBuddy(txtPath);
    cmdBrowse = newButton(this, "cmdBrowse", QStringLiteral("..."), "BrowseProgramName");
    lblWarning =
        newLabel(this, "lblWarning",
                 QStringLiteral("Achten Sie darauf, dass ein Pfad mit Leerzeichen in Anführungszeichen (\") "
                                "eingeschlossen ist!"),
                 "TargetSWDes");
    lblWarning->setWordWrap(true);
    lblWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = lblWarning->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblWarning->setPalette(red);
    lblPlaceCaption = newLabel(this, "lblPlaceCaption", QStringLiteral("Ort:"), "Place");
    lblPlace = newLabel(this, "lblPlace", QStringLiteral("Bitte auswählen..."), "ChoosePlease");
    cmdMove = newButton(this, "cmdMove", QStringLiteral("..."), "ChoosePlaceName");
    lblPlaceCaption->setBuddy(cmdMove);
    cmdOk = newButton(this, "cmdOk", QStringLiteral("&OK"));
    cmdOk->setDefault(true);
    cmdOk->setEnabled(false);
    setLanguageKey(cmdOk, QStringLiteral("OK"));
    cmdCancel = newButton(this, "cmdCancel", QStringLiteral("&Abbrechen"));
    setLanguageKey(cmdCancel, QStringLiteral("Cancel"));
    for (int i = 0; i < 2; ++i) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        m_lines.append(line);
    }
    setTabOrder(txtName, txtPath);
    setTabOrder(txtPath, cmdBrowse);
    setTabOrder(cmdBrowse, cmdMove);
    setTabOrder(cmdMove, cmdOk);
    setTabOrder(cmdOk, cmdCancel);

    connect(txtName, &QLineEdit::textChanged, this, &frmAddEdit::programCheck);
    connect(txtPath, &QLineEdit::textChanged, this, &frmAddEdit::programCheck);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmAddEdit::browseForProgram);
    connect(cmdMove, &QPushButton::clicked, this, &frmAddEdit::choosePlace);
    connect(cmdOk, &QPushButton::clicked, this, &frmAddEdit::confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddEdit::cancel);
}

void frmAddEdit::placeControls() {
    const TwipScale scale(logicalDpiX(), logicalDpiY());
    setFixedSize(scale.toPixelsX(5550), scale.toPixelsY(3120));
    const std::pair<QWidget*, QRect> designed[] = {
        {picIcon, {120, 120, 480, 480}},      {lblNameCaption, {840, 60, 4095, 195}},
        {txtName, {840, 300, 4095, 285}},     {lblPathCaption, {120, 960, 300, 195}},
        {txtPath, {840, 960, 4095, 285}},     {cmdBrowse, {5040, 960, 375, 285}},
        {lblWarning, {840, 1320, 4095, 660}}, {lblPlaceCaption, {120, 2040, 300, 195}},
        {lblPlace, {840, 2040, 4095, 255}},   {cmdMove, {5040, 2040, 375, 285}},
        {cmdOk, {2880, 2640, 1215, 375}},     {cmdCancel, {4200, 2640, 1215, 375}},
    };
    for (const auto& [control, twips] : designed)
        control->setGeometry(scale.toPixels(twips));
    // An etched line is two pixels high whatever the resolution.
    const int tops[] = {720, 2520};
    for (int i = 0; i < m_lines.size(); ++i)
        m_lines[i]->setGeometry(0, scale.toPixelsY(tops[i]), width(), 2);
}

void frmAddEdit::prepareAdd() {
    setWindowTitle(m_services.texts.getText(QStringLiteral("Add")));
    m_editedRow.reset();
    m_written.reset();
    cmdOk->setEnabled(false);
    txtName->setText(m_services.texts.getText(QStringLiteral("NewEntry")));
    txtPath->clear();
    showNoProgram();
    programCheck();
    // A new entry goes where the user chooses, never where an earlier one went.
    moveDialog()->clearChoice();
    lblPlace->setText(m_services.texts.getText(QStringLiteral("ChoosePlease")));
}

bool frmAddEdit::prepareEdit(const AutostartEntry& row) {
    try {
        ensureTextValue(m_services.platform, row);
    } catch (const ValueNotText&) {
        showMessage(m_services.texts.textForEntry(ValueNotText::textKey(), row.name),
                    MessageIcon::Exclamation);
        return false;
    } catch (const std::exception&) {
        // A value gone since the listing: OK writes it anew.
    }
    setWindowTitle(m_services.texts.getText(QStringLiteral("Edit")));
    m_editedRow = row;
    m_written.reset();
    cmdOk->setEnabled(false);
    txtName->setText(row.name);
    txtPath->setText(row.program);
    showNoProgram();
    programCheck();
    // The entry stays in its own place unless the user chooses another.
    const Place* place = placeByBackupKind(row.backupKind);
    if (place)
        moveDialog()->selectCategory(place->categoryKey);
    else
        moveDialog()->clearChoice();
    const QString path = moveDialog()->selectedNodePath();
    lblPlace->setText(path.isEmpty() ? m_services.texts.getText(QStringLiteral("ChoosePlease")) : path);
    return true;
}

frmMove* frmAddEdit::moveDialog() {
    if (!m_move) {
        m_move = new frmMove(m_services.texts, *m_services.platform.system, this);
        bindHelpKey(m_move, *m_services.platform.desktop, userHelpFile(m_services.files, m_services.texts),
                    kHelpSection);
    }
    return m_move;
}

void frmAddEdit::programCheck() {
    QString program;
    try {
        program = findProgramFile(m_services.platform, txtPath->text());
    } catch (const std::exception&) {
        // A file system that fails counts as a program not found.
    }
    // A Startup file that is no shortcut is its own program, found even while hidden (inactive).
    if (program.isEmpty() && m_editedRow && isPlainStartupFile(*m_editedRow) &&
        sameProgram(txtPath->text(), m_editedRow->program))
        program = m_editedRow->program;
    showProgramProblem(program);
    if (program.isEmpty()) {
        cmdOk->setEnabled(false);
        return; // the picture stays as it was
    }
    cmdOk->setEnabled(true);
    const QIcon icon = fileIconOf(m_services.platform, program, kLargeIcon);
    picIcon->setPixmap(icon.isNull() ? artPixmap(QStringLiteral("UNKNOW"), QSize(32, 32))
                                     : icon.pixmap(32, 32));
}

void frmAddEdit::showNoProgram() {
    picIcon->setPixmap(artPixmap(QStringLiteral("UNKNOW"), QSize(32, 32)));
}

void frmAddEdit::showProgramProblem(const QString& programFile) {
    // One line under the field: quotes missing around a path with blanks, else why OK rests.
    const QString field = txtPath->text();
    QString problem;
    if (lacksQuotes(field, programFile))
        problem = m_services.texts.getText(QStringLiteral("TargetSWDes"));
    else if (programFile.isEmpty() && !field.trimmed().isEmpty())
        problem = m_services.texts.getText(QStringLiteral("ProgramNotFoundHint"));
    lblWarning->setText(problem);
    lblWarning->setVisible(!problem.isEmpty());
}

void frmAddEdit::browseForProgram() {
    const QString driveC = m_services.platform.fileSystem->hostPath(QStringLiteral("C:\\"));
    const QString picked = m_pickFile(this, m_services.texts.getText(QStringLiteral("SearchFile")), driveC,
                                      m_services.texts.getText(QStringLiteral("ExeFilter")));
    if (!picked.isEmpty())
        usePickedFile(picked);
}

bool frmAddEdit::usePickedFile(const QString& hostFile) {
    const QString managed = m_services.platform.fileSystem->managedPathOfHostFile(hostFile);
    if (managed.isEmpty()) {
        QString text = m_services.texts.getText(QStringLiteral("MsgFileOutsidePrefix"));
        showMessage(text.replace(QStringLiteral("%PATH%"), hostFile), MessageIcon::Exclamation);
        return false;
    }
    txtPath->setText(QLatin1Char('"') + managed + QLatin1Char('"'));
    return true;
}

void frmAddEdit::choosePlace() {
    frmMove* move = moveDialog();
    // Escape or the close box keep the place as it was.
    if (move->exec() != QDialog::Accepted)
        return;
    if (const QString path = move->selectedNodePath(); !path.isEmpty())
        lblPlace->setText(path);
}

void frmAddEdit::confirm() {
    frmMove* move = moveDialog();
    const EntryPlace place{move->selectedRoot(), move->selectedKey()};
    if (!place.isChosen()) {
        showProblem(EntryProblem::NoPlace);
        return;
    }
    // The fields stay as typed while another writer holds the prefix.
    const auto writing = holdWritingOrTell(m_services.platform, m_services.texts, m_services.boxes);
    const bool edit = m_editedRow.has_value();
    if (!writing || (edit && !plainNameOrTell(m_editedRow->name, !m_editedRow->isRegistryEntry(),
                                              m_services.texts, m_services.boxes)))
        return;
    ReplaceRule replace;
    replace.dataFolder = m_services.files.dataFolder();
    replace.allowed = [this](const AutostartEntry& existing) {
        return m_services.boxes.show(
                   m_services.texts.textForEntry(QStringLiteral("MsgReplaceEntryReq"), existing.name),
                   QString(), MessageIcon::Question, MessageButtons::YesNoDefaultNo) == MessageAnswer::Yes;
    };
    try {
        m_written = edit ? replaceEntry(m_services.platform, *m_editedRow, txtName->text(), txtPath->text(),
                                        place, replace)
                         : writeEntry(m_services.platform, txtName->text(), txtPath->text(), place, replace);
    } catch (const EntryRejected& rejected) {
        // Answered No to replacing: the dialog stays open for another name or place.
        if (rejected.problem() != EntryProblem::EntryExists)
            showProblem(rejected.problem());
        return;
    } catch (const ValueNotText&) {
        showMessage(m_services.texts.textForEntry(ValueNotText::textKey(), m_editedRow->name),
                    MessageIcon::Exclamation);
        return;
    } catch (const std::exception& error) {
        // The fields stay as typed, so the user can try again once the cause is gone.
        QString text =
            m_services.texts.textForEntry(QStringLiteral("MsgWriteRefused"), txtName->text().trimmed());
        showMessage(text.replace(QStringLiteral("%REASON%"), QString::fromStdString(error.what())),
                    MessageIcon::Exclamation);
        return;
    }
    accept();
}

void frmAddEdit::cancel() {
    m_written.reset();
    reject();
}

void frmAddEdit::showMessage(const QString& text, MessageIcon icon) {
    m_services.boxes.show(text, QString(), icon, MessageButtons::Ok);
}

void frmAddEdit::showProblem(EntryProblem problem) {
    showMessage(m_services.texts.textForEntry(problemTextKey(problem), txtName->text().trimmed()),
                MessageIcon::Exclamation);
}

bool frmAddEdit::eventFilter(QObject* watched, QEvent* event) {
    // A click would place the cursor after the focus selected the text, so select afterwards.
    if (watched == txtName && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtName, [this] { txtName->selectAll(); });
    return QDialog::eventFilter(watched, event);
}

void frmAddEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    txtName->setFocus();
}

} // namespace sw
