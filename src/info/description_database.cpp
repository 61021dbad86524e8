#include "info/description_database.h"

#include "info/record_index.h"

#include <QFile>
#include <QMutex>

#include <array>

namespace sw {

namespace {

// Characters of 0x80..0x9F; 0 marks the five bytes that Windows-1252 leaves undefined.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Reads fields one after another; a field that does not fit in the rest reads as absent and
// leaves the reader at the end.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    qint16 readInt16() { return qint16(readUInt16()); }

    QString readText() {
        const qsizetype length = readUInt16();
        if (m_bytes.size() - m_pos < length) {
            m_pos = m_bytes.size();
            return {};
        }
        const QString text = decodeWindows1252(m_bytes.sliced(m_pos, length));
        m_pos += length;
        return text;
    }

private:
    quint16 readUInt16() {
        if (m_bytes.size() - m_pos < 2) {
            m_pos = m_bytes.size();
            return 0;
        }
        const auto low = quint8(m_bytes[m_pos]);
        const auto high = quint8(m_bytes[m_pos + 1]);
        m_pos += 2;
        return quint16(low | (high << 8));
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

QString badCountError(qint16 count) {
    return QStringLiteral("Invalid record count %1").arg(count);
}

// Reads the whole file in one go; never asks for more than the file holds.
bool readWholeFile(const QString& path, QByteArray& bytes, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const qint64 size = file.size();
    bytes = file.read(size);
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

const DescriptionRecord& DescriptionDatabase::description(int index) const {
    static const DescriptionRecord empty;
    if (index < 1 || index > descriptionTable.size())
        return empty;
    return descriptionTable.at(index - 1);
}

const RecordIndex& DescriptionDatabase::recordIndex() const {
    // Built once by whichever caller comes first; the lock is uncontended after that.
    static QMutex mutex;
    const QMutexLocker lock(&mutex);
    if (!m_recordIndex || !m_recordIndex->isFor(searchTable))
        m_recordIndex = std::make_shared<const RecordIndex>(searchTable);
    return *m_recordIndex;
}

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = quint8(bytes[i]);
        char16_t unit = byte;
        if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0)
            unit = kHighControls[byte - 0x80];
        out[i] = QChar(unit);
    }
    return text;
}

bool encodeWindows1252(QStringView text, QByteArray& out) {
    out.clear();
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            out.append(char(unit));
            continue;
        }
        bool found = false;
        for (std::size_t i = 0; i < kHighControls.size() && !found; ++i) {
            if (kHighControls[i] == unit) {
                out.append(char(0x80 + i));
                found = true;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

bool parseSearchIndex(QByteArrayView bytes, SearchTable& searchTable, qint16& count, QString& error) {
    FieldReader reader(bytes);
    count = reader.readInt16();
    if (count < 1) {
        searchTable.clear();
        error = badCountError(count);
        return false;
    }
    searchTable = SearchTable(count);
    for (SearchRecord& record : searchTable) {
        if (reader.atEnd())
            break;
        record.risk = reader.readInt16();
        record.filePattern = reader.readText();
        record.companyPattern = reader.readText();
        record.namePattern = reader.readText();
    }
    return true;
}

bool parseDescriptions(QByteArrayView bytes, DescriptionTable& descriptionTable, qint16 count,
                       QString& error) {
    if (count < 1) {
        descriptionTable.clear();
        error = badCountError(count);
        return false;
    }
    descriptionTable = DescriptionTable(count);
    FieldReader reader(bytes);
    for (DescriptionRecord& record : descriptionTable) {
        if (reader.atEnd())
            break;
        record.description = reader.readText();
        record.links = reader.readText();
    }
    return true;
}

DatabaseLoad loadSearchIndex(const QString& path, SearchTable& searchTable) {
    QByteArray bytes;
    DatabaseLoad load;
    if (!readWholeFile(path, bytes, load.error) ||
        !parseSearchIndex(bytes, searchTable, load.count, load.error))
        load.count = 0;
    return load;
}

QString loadDescriptions(const QString& path, DescriptionTable& descriptionTable, qint16 count) {
    if (count < 1) {
        descriptionTable.clear();
        return badCountError(count);
    }
    // The table is sized before the file is opened, so a missing file leaves empty records.
    descriptionTable = DescriptionTable(count);
    QByteArray bytes;
    QString error;
    if (!readWholeFile(path, bytes, error))
        return error;
    parseDescriptions(bytes, descriptionTable, count, error);
    return error;
}

} // namespace sw
