#pragma once

#include "entries/autostart_entry.h"
#include "entries/entry_writer.h"
#include "platform/message_boxes.h"

#include <QDialog>
#include <functional>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sw {

class frmMove;
struct MainServices;

// Creates a new entry or replaces the selected one. Created once and only hidden, so its fields
// and the move dialog's chosen place persist between uses.
class frmAddEdit : public QDialog {
    Q_OBJECT
public:
    // Shows the file dialog: parent, title, start folder (host path), filter; gives the picked host
    // file or an empty text.
    using FilePicker = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

    explicit frmAddEdit(MainServices& services, QWidget* parent = nullptr);

    // Fill the fields as the toolbar's "add" and "edit" do before showing the dialog. prepareEdit
    // refuses (with a message, false) a registry value that holds no text.
    void prepareAdd();
    bool prepareEdit(const AutostartEntry& row);

    // What the last OK wrote, to select its row; empty after Cancel.
    const std::optional<WrittenEntry>& written() const { return m_written; }

    frmMove* moveDialog();
    void setFilePicker(FilePicker picker) { m_pickFile = std::move(picker); }

    // What the user's clicks do: pick the program file, choose the place in the move dialog, write
    // the entry (OK) or leave it (Cancel).
    void browseForProgram();
    // Writes the picked host file into the program field as the Windows path of the prefix, quoted;
    // false (with a message, the field unchanged) when no drive of the prefix holds it.
    bool usePickedFile(const QString& hostFile);
    void choosePlace();
    void confirm();
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void programCheck();
    void showNoProgram();
    void showProgramProblem(const QString& programFile);

    // The dialog's controls are its own: tests find them by their object names.
    QLabel* picIcon = nullptr;
    QLabel* lblNameCaption = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* lblPathCaption = nullptr;
    QLineEdit* txtPath = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblWarning = nullptr;
    QLabel* lblPlaceCaption = nullptr;
    QLabel* lblPlace = nullptr;
    QPushButton* cmdMove = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    void createControls();
    void placeControls();
    void fitCaptions();
    void showMessage(const QString& text, MessageIcon icon);
    void showProblem(EntryProblem problem);

    MainServices& m_services;
    frmMove* m_move = nullptr;
    // The row prepareEdit was given; none while adding.
    std::optional<AutostartEntry> m_editedRow;
    std::optional<WrittenEntry> m_written;
    FilePicker m_pickFile;
    QList<QFrame*> m_lines;
};

} // namespace sw
