#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace sw {

class ctlXPFrame;
class LanguageTexts;
class MessageBoxes;

// The report dialog: shows what a report of one entry would send and sends it on request. The
// fields are filled by whoever opens it; the labels sit on the frame's bar, the boxes on its body.
class frmSend : public QDialog {
    Q_OBJECT
public:
    static constexpr int kNoticeLength = 1000;

    frmSend(const LanguageTexts& texts, MessageBoxes& boxes, QWidget* parent = nullptr);

    // "host" or "host:port" of the report endpoint.
    void setReportHost(const QString& host) { m_host = host; }

    // The entry the report is about, as the fields show it before the user edits them.
    void showEntry(const QString& name, const QString& company, const QString& program, const QString& place);

public slots:
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void sendEntry();
    void cancelReport();

    // The dialog's controls are its own: tests find them by their object names.
    ctlXPFrame* ctlXPFrame1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblProgram = nullptr;
    QLabel* lblPlace = nullptr;
    QLabel* lblCorperation = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtProgram = nullptr;
    QLineEdit* txtPlace = nullptr;
    QLineEdit* txtCorperation = nullptr;
    QPlainTextEdit* txtNotice = nullptr;
    QProgressBar* prgSending = nullptr;
    QPushButton* cmdSend = nullptr;
    QPushButton* cmdCancel = nullptr;

    void createControls();
    void loadForm();
    void placeControls();
    void limitNotice();
    void setSending(bool sending);

    const LanguageTexts& m_texts;
    MessageBoxes& m_boxes;
    QString m_host;
    bool m_sending = false;
};

} // namespace sw
