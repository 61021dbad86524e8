// Rates every row of a 1,000-row listing against a generated database of 32,767 records, as a
// click on each row would, and reports the time per row: through the record index, and by the
// plain scan of every record as the baseline, in the same run. The records that match the listing
// sit at the end of the table, so a scan tries (nearly) everything. Also times taking the lines
// apart, building the index, and loading the search index from a file of that size.
#include "info/description_database.h"
#include "info/entry_rating.h"
#include "info/record_index.h"
#include "info/written_program_lookup.h"
#include "platform/command_line.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <limits>

namespace {

constexpr int kRecords = 32767;
constexpr int kRows = 1000;

const char* const kWords[] = {"Sync",     "Cloud",   "Update",  "Helper", "Tray", "Agent",
                              "Launcher", "Monitor", "Audio",   "Driver", "Chat", "Game",
                              "Backup",   "Notify",  "Service", "Daemon"};
const char* const kVendors[] = {"Acme",     "Globex",    "Initech", "Umbrella",  "Hooli",   "Vandelay",
                                "Wayne",    "Stark",     "Tyrell",  "Cyberdyne", "Soylent", "Aperture",
                                "Nakatomi", "Gringotts", "Oscorp",  "Wonka"};

struct Row {
    QString program;
    QString company;
    QString name;
};

QString word(int i) {
    return QString::fromLatin1(kWords[i % 16]);
}

QString vendor(int i) {
    return QString::fromLatin1(kVendors[i % 16]);
}

// The program, company and entry name of program number i.
Row programOf(int i) {
    const QString base = vendor(i / 16) + word(i) + QString::number(i);
    Row row;
    switch (i % 4) {
    case 0:
        row.program =
            QStringLiteral("\"C:\\Program Files\\%1\\%2\\%2.exe\" /background").arg(vendor(i / 16), base);
        break;
    case 1:
        row.program =
            QStringLiteral("C:\\Program Files (x86)\\%1\\%2.exe -minimized").arg(vendor(i / 16), base);
        break;
    case 2:
        row.program = QStringLiteral("C:\\Users\\user\\AppData\\Roaming\\%1\\%2.exe").arg(base, base);
        break;
    default:
        row.program = QStringLiteral("rundll32.exe C:\\Windows\\System32\\%1.dll,Start").arg(base);
        break;
    }
    row.company = QStringLiteral("%1 Software Inc.").arg(vendor(i / 16));
    row.name = QStringLiteral("%1 %2").arg(vendor(i / 16), word(i));
    return row;
}

// A record that recognises program number i, in one of the shapes the shipped files use.
sw::SearchRecord recordFor(int i) {
    const Row row = programOf(i);
    const QString file = row.program.mid(row.program.lastIndexOf(u'\\') + 1).toUpper();
    const QString exe = file.left(file.indexOf(u'.'));
    sw::SearchRecord record;
    record.risk = i % 7 == 0 ? 1 : 0;
    switch (i % 5) {
    case 0:
        record.filePattern = exe + QStringLiteral(".*");
        break;
    case 1:
        record.filePattern = QStringLiteral("*") + exe.mid(2) + QStringLiteral("*");
        break;
    case 2:
        record.filePattern = exe.left(exe.size() - 1) + QStringLiteral("#*");
        break;
    case 3:
        record.filePattern = QStringLiteral("[A-Z]") + exe.mid(1) + QStringLiteral("*");
        break;
    default:
        record.filePattern = exe + QStringLiteral(".[DE][LX][LE]*");
        break;
    }
    record.companyPattern =
        i % 3 == 0 ? QStringLiteral("*") : vendor(i / 16).toUpper() + QStringLiteral(" *");
    record.namePattern = i % 2 == 0 ? QStringLiteral("*") : QStringLiteral("*") + word(i).toUpper();
    return record;
}

void appendInt16(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void appendText(QByteArray& out, const QString& text) {
    const QByteArray bytes = text.toLatin1();
    appendInt16(out, int(bytes.size()));
    out.append(bytes);
}

} // namespace

int main() {
    QTextStream out(stdout);
    // Programs kRows.. are ones the listing never holds; the listing's own come last.
    sw::DescriptionDatabase db;
    for (int i = 0; i < kRecords - kRows; ++i)
        db.searchTable.append(recordFor(kRows + 7 + i));
    for (int i = 0; i < kRows; ++i)
        db.searchTable.append(recordFor(i));
    db.descriptionTable = sw::DescriptionTable(db.count());

    QList<Row> rows;
    for (int i = 0; i < kRows; ++i)
        rows.append(programOf(i));

    QElapsedTimer timer;
    timer.start();
    QList<sw::RatingSubject> subjects;
    for (const Row& row : rows)
        subjects.append(sw::ratingSubject(
            sw::parseCommandLine(row.program, sw::writtenProgramLookup(row.program)), row.company, row.name));
    const qint64 parseNs = timer.nsecsElapsed();

    timer.restart();
    db.recordIndex();
    const qint64 indexNs = timer.nsecsElapsed();

    // Each way several times over, the fastest pass counting, so that a busy machine shows less.
    constexpr int kPasses = 5;
    qint64 indexedNs = std::numeric_limits<qint64>::max();
    qint64 scanNs = std::numeric_limits<qint64>::max();
    int found = 0;
    int risks = 0;
    int disagreements = 0;
    for (int pass = 0; pass < kPasses; ++pass) {
        QList<int> indexed;
        timer.restart();
        for (const sw::RatingSubject& subject : subjects)
            indexed.append(sw::findRecord(db, subject));
        indexedNs = std::min(indexedNs, timer.nsecsElapsed());
        QList<int> scanned;
        timer.restart();
        for (const sw::RatingSubject& subject : subjects)
            scanned.append(sw::findRecordByScan(db, subject));
        scanNs = std::min(scanNs, timer.nsecsElapsed());
        found = risks = disagreements = 0;
        for (qsizetype r = 0; r < indexed.size(); ++r) {
            found += indexed[r] > kRecords - kRows; // the record meant for this row, not an earlier one
            risks += sw::ratingOfRecord(db, indexed[r]) == sw::EntryRating::Risk;
            disagreements += indexed[r] != scanned[r];
        }
    }

    // Search.dat of the same size, loaded as at start-up.
    QTemporaryDir dir;
    QByteArray file;
    appendInt16(file, db.count());
    for (const sw::SearchRecord& record : db.searchTable) {
        appendInt16(file, record.risk);
        appendText(file, record.filePattern);
        appendText(file, record.companyPattern);
        appendText(file, record.namePattern);
    }
    const QString path = dir.filePath(QStringLiteral("Search.dat"));
    QFile output(path);
    if (!output.open(QIODevice::WriteOnly) || output.write(file) != file.size())
        return 1;
    output.close();
    sw::SearchTable loaded;
    timer.restart();
    const qint16 count = sw::loadSearchIndex(path, loaded).count;
    const qint64 loadNs = timer.nsecsElapsed();

    out << "records: " << db.count() << ", rows: " << rows.size() << ", found: " << found
        << ", risks: " << risks << '\n';
    out << "taking the lines apart: " << parseNs / 1000.0 / rows.size() << " us per row\n";
    out << "building the index: " << indexNs / 1000000.0 << " ms\n";
    out << "rating through the index: " << indexedNs / 1000.0 / rows.size() << " us per row\n";
    out << "rating by scanning every record: " << scanNs / 1000.0 / rows.size() << " us per row\n";
    out << "index and scan disagree on: " << disagreements << " rows\n";
    out << "loading Search.dat (" << file.size() << " bytes, " << count << " records): " << loadNs / 1000000.0
        << " ms\n";
    return found == kRows && disagreements == 0 && count == db.count() ? 0 : 1;
}
