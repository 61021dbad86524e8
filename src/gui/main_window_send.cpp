// The toolbar's "send" command: reports the selected entry through the report dialog.
#include "frm_send.h"
#include "help_key.h"
#include "main_services.h"
#include "main_window.h"
#include "report/report_request.h"

#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

namespace sw {

void frmMain::sendSelectedEntry() {
    const std::optional<AutostartEntry> row = selectedRow();
    if (!row || !m_services)
        return;
    // The panel finds the company the report sends.
    describeRow(lvwEntries->currentIndex());
    frmSend dialog(m_services->texts, m_services->boxes, this);
    dialog.setReportHost(reportHostSetting());
    bindHelpKey(&dialog, *m_services->platform.desktop, userHelpFile(m_services->files, m_services->texts),
                QStringLiteral("report"));
    dialog.showEntry(row->name, lblCompany->property("tag").toString(), row->program, row->placeLabel);
    dialog.exec();
}

} // namespace sw
