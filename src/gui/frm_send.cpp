#include "frm_send.h"

#include "platform/language_texts.h"
#include "platform/message_boxes.h"
#include "report/report_request.h"
#include "report/send_report.h"
#include "translate_form.h"
#include "xp_frame.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextCursor>

namespace sw {

namespace {

constexpr int kBarWidth = 100;
constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kWindowWidth = 540;
constexpr int kNoticeHeight = 96;

QLabel* fieldLabel(const char* name, const QString& caption, const char* key, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    setLanguageKey(label, QLatin1String(key));
    return label;
}

QLineEdit* fieldBox(const char* name, QLabel* label, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    label->setBuddy(box);
    return box;
}

} // namespace

frmSend::frmSend(const LanguageTexts& texts, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), m_texts(texts), m_boxes(boxes), m_host(QString::fromLatin1(kDefaultReportHost)) {
    setObjectName(QStringLiteral("frmSend"));
    createControls();
    loadForm();
}

void frmSend::createControls() {
    setWindowTitle(QStringLiteral("Eintrag Melden"));
    setLanguageKey(this, QStringLiteral("ReportWinTit"));

    ctlXPFrame1 = new ctlXPFrame(this);
    ctlXPFrame1->setObjectName(QStringLiteral("ctlXPFrame1"));
    ctlXPFrame1->setpBarWidth(kBarWidth);

    lblTitle = new QLabel(QStringLiteral("Melden Sie uns dem StartWarden unbekannte Einträge"), ctlXPFrame1);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    setLanguageKey(lblTitle, QStringLiteral("ReportTit"));
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    lblTitle->setWordWrap(true);

    lblDescription = new QLabel(
        QStringLiteral("Wenn Sie auf Senden klicken, wird der StartWarden versuchen, uns über das Internet "
                       "Daten zu senden. Durch das Senden von Informationen über unbekannte Einträge, tragen "
                       "Sie dazu bei, dass die StartWarden Beschreibungsdatenbank stetig wächst. Es werden "
                       "keine anderen Daten übermittelt, als unten stehen:"),
        ctlXPFrame1);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    setLanguageKey(lblDescription, QStringLiteral("ReportDes"));
    lblDescription->setWordWrap(true);

    lblName = fieldLabel("lblName", QStringLiteral("Name:"), "NameSW", ctlXPFrame1);
    txtName = fieldBox("txtName", lblName, ctlXPFrame1);
    lblProgram = fieldLabel("lblProgram", QStringLiteral("Programm:"), "ProgrammSW", ctlXPFrame1);
    txtProgram = fieldBox("txtProgram", lblProgram, ctlXPFrame1);
    lblPlace = fieldLabel("lblPlace", QStringLiteral("Ort:"), "Place", ctlXPFrame1);
    txtPlace = fieldBox("txtPlace", lblPlace, ctlXPFrame1);
    lblCorperation = fieldLabel("lblCorperation", QStringLiteral("Firma:"), "Company", ctlXPFrame1);
    txtCorperation = fieldBox("txtCorperation", lblCorperation, ctlXPFrame1);

    txtNotice = new QPlainTextEdit(ctlXPFrame1);
    txtNotice->setObjectName(QStringLiteral("txtNotice"));
    txtNotice->setTabChangesFocus(true);
    connect(txtNotice, &QPlainTextEdit::textChanged, this, &frmSend::limitNotice);

    prgSending = new QProgressBar(ctlXPFrame1);
    prgSending->setObjectName(QStringLiteral("prgSending"));
    prgSending->setRange(0, 0); // busy: the request reports no progress of its own
    prgSending->setTextVisible(false);
    prgSending->hide();

    cmdSend = new QPushButton(QStringLiteral("&Informationen übermitteln"), ctlXPFrame1);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    setLanguageKey(cmdSend, QStringLiteral("ReportSendYes"));
    connect(cmdSend, &QPushButton::clicked, this, &frmSend::sendEntry);
    cmdCancel = new QPushButton(QStringLiteral("&Keine Informationen senden"), ctlXPFrame1);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    setLanguageKey(cmdCancel, QStringLiteral("ReportSendNo"));
    connect(cmdCancel, &QPushButton::clicked, this, &frmSend::cancelReport);

    setTabOrder(txtName, txtProgram);
    setTabOrder(txtProgram, txtPlace);
    setTabOrder(txtPlace, txtCorperation);
    setTabOrder(txtCorperation, txtNotice);
    setTabOrder(txtNotice, cmdSend);
    setTabOrder(cmdSend, cmdCancel);
}

void frmSend::loadForm() {
    translateForm(this, m_texts);
    // A hint, not text: what the user types is all that is sent.
    txtNotice->setPlaceholderText(m_texts.getText(QStringLiteral("ReportForm")));
    // Screen readers name the boxes after their labels, without the colon.
    const std::pair<QWidget*, QLabel*> named[] = {
        {txtName, lblName}, {txtProgram, lblProgram}, {txtPlace, lblPlace}, {txtCorperation, lblCorperation}};
    for (const auto& [box, label] : named)
        box->setAccessibleName(label->text().remove(QLatin1Char(':')).trimmed());
    txtNotice->setAccessibleName(m_texts.getText(QStringLiteral("ReportForm")));
    ctlXPFrame1->setAccessibleName(lblTitle->text());
    prgSending->setAccessibleName(m_texts.getText(QStringLiteral("ReportSending")));
    prgSending->setToolTip(prgSending->accessibleName());
    setMinimumWidth(kWindowWidth);
    resize(kWindowWidth, 0);
    placeControls();
    txtName->setFocus();
}

void frmSend::placeControls() {
    const int bodyLeft = kBarWidth + 1 + kMargin;
    const int bodyWidth = width() - bodyLeft - kMargin;
    int y = kMargin + 2;
    lblTitle->setGeometry(bodyLeft, y, bodyWidth, lblTitle->heightForWidth(bodyWidth));
    y += lblTitle->height() + kGap;
    lblDescription->setGeometry(bodyLeft, y, bodyWidth, lblDescription->heightForWidth(bodyWidth));
    y += lblDescription->height() + 2 * kGap;

    const int rowHeight = txtName->sizeHint().height();
    for (const auto& [label, box] :
         {std::pair{lblName, txtName}, std::pair{lblProgram, txtProgram}, std::pair{lblPlace, txtPlace},
          std::pair{lblCorperation, txtCorperation}}) {
        label->setGeometry(kMargin, y, kBarWidth - kMargin - 2, rowHeight);
        box->setGeometry(bodyLeft, y, bodyWidth, rowHeight);
        y += rowHeight + kGap;
    }
    txtNotice->setGeometry(bodyLeft, y, bodyWidth, kNoticeHeight);
    y += kNoticeHeight + 2 * kGap;

    const QSize cancelSize = cmdCancel->sizeHint();
    const QSize sendSize = cmdSend->sizeHint();
    const int buttonHeight = qMax(cancelSize.height(), sendSize.height());
    const int cancelLeft = width() - kMargin - cancelSize.width();
    cmdCancel->setGeometry(cancelLeft, y, cancelSize.width(), buttonHeight);
    cmdSend->setGeometry(cancelLeft - kGap - sendSize.width(), y, sendSize.width(), buttonHeight);
    prgSending->setGeometry(bodyLeft, y + (buttonHeight - 12) / 2, qMax(40, cmdSend->x() - kGap - bodyLeft),
                            12);
    const int neededHeight = y + buttonHeight + kMargin;

    ctlXPFrame1->setGeometry(0, 0, width(), qMax(height(), neededHeight));
    if (height() != neededHeight)
        setFixedHeight(neededHeight);
}

void frmSend::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeControls();
}

void frmSend::limitNotice() {
    const int excess = txtNotice->document()->characterCount() - 1 - kNoticeLength;
    if (excess <= 0)
        return;
    // Drop what was just typed or pasted beyond the limit: the characters before the cursor.
    QTextCursor cursor = txtNotice->textCursor();
    const int end = cursor.position();
    cursor.setPosition(qMax(0, end - excess));
    cursor.setPosition(qMax(0, end - excess) + excess, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    txtNotice->setTextCursor(cursor);
}

void frmSend::setSending(bool sending) {
    m_sending = sending;
    for (QWidget* control : {static_cast<QWidget*>(cmdSend), static_cast<QWidget*>(cmdCancel)})
        control->setEnabled(!sending);
    for (QLineEdit* box : {txtName, txtProgram, txtPlace, txtCorperation})
        box->setReadOnly(sending);
    txtNotice->setReadOnly(sending);
    prgSending->setVisible(sending);
    if (sending)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmSend::showEntry(const QString& name, const QString& company, const QString& program,
                        const QString& place) {
    txtName->setText(name);
    txtCorperation->setText(company);
    txtProgram->setText(program);
    txtPlace->setText(place);
}

void frmSend::sendEntry() {
    if (m_sending)
        return;
    const ReportFields fields{
        txtName->text(), txtProgram->text(), txtCorperation->text(), txtPlace->text(),
        reportDetails(txtNotice->toPlainText(), m_texts.getText(QStringLiteral("ReportForm")))};
    setSending(true);
    const bool sent = sendReport(reportAddress(m_host, fields), kDirectAccess);
    setSending(false);
    if (!sent) {
        m_boxes.show(m_texts.getText(QStringLiteral("MsgErrReportSend")), QString(), MessageIcon::Critical,
                     MessageButtons::Ok);
        cmdSend->setFocus(); // ready to try again
        return;
    }
    m_boxes.show(m_texts.getText(QStringLiteral("MsgReportSendSuc")), QString(), MessageIcon::Information,
                 MessageButtons::Ok);
    accept();
}

void frmSend::cancelReport() {
    reject();
}

void frmSend::reject() {
    // Closing while a request runs would end the dialog under the waiting send.
    if (!m_sending)
        QDialog::reject();
}

} // namespace sw
