#include "db_source.h"

#include "info/pattern_match.h"

#include <QRegularExpression>

namespace sw::dbcompiler {

namespace {

bool isLanguageKey(const QString& key) {
    return key.size() == 2 && key[0] >= u'a' && key[0] <= u'z' && key[1] >= u'a' && key[1] <= u'z';
}

// Links open in the user's browser; plain http or a bare host name is refused.
bool isHttpsAddress(const QString& address) {
    static const QString scheme = QStringLiteral("https://");
    return address.startsWith(scheme) && address.size() > scheme.size() && address[scheme.size()] != u'/';
}

// Fields of the record being read, and which ones were seen.
struct PendingRecord {
    SourceRecord record;
    bool hasFile = false;
    bool hasCompany = false;
    bool hasName = false;
    bool hasRisk = false;
    bool hasExampleCompany = false;
    bool hasExampleName = false;
    bool valid = true;
};

class SourceParser {
public:
    SourceParser(const QString& fileName, Diagnostics& diagnostics)
        : m_fileName(fileName), m_diagnostics(diagnostics) {}

    void line(int number, const QString& raw);
    QList<SourceRecord> finish();

private:
    void field(int number, const QString& key, const QString& value);
    void pattern(int number, const QString& key, const QString& value, bool& seen, QString& target);
    void single(int number, const QString& key, const QString& value, bool& seen, QString& target);
    void closeRecord();
    void error(int number, const QString& message) { m_diagnostics.add(m_fileName, number, message); }

    QString m_fileName;
    Diagnostics& m_diagnostics;
    QList<SourceRecord> m_records;
    PendingRecord m_pending;
    bool m_open = false;
};

void SourceParser::line(int number, const QString& raw) {
    const QString text = raw.trimmed();
    if (text.isEmpty() || text.startsWith(u'#'))
        return;
    if (text == u"[record]") {
        closeRecord();
        m_pending = PendingRecord{};
        m_pending.record.fileName = m_fileName;
        m_pending.record.line = number;
        m_open = true;
        return;
    }
    const qsizetype equals = text.indexOf(u'=');
    if (equals <= 0 || text.startsWith(u'[')) {
        error(number, QStringLiteral("malformed line (expected \"[record]\" or \"key = value\")"));
        return;
    }
    if (!m_open) {
        error(number, QStringLiteral("field outside a [record] section"));
        return;
    }
    field(number, text.left(equals).trimmed(), text.mid(equals + 1).trimmed());
}

void SourceParser::pattern(int number, const QString& key, const QString& value, bool& seen,
                           QString& target) {
    if (seen) {
        error(number, QStringLiteral("field \"%1\" given twice").arg(key));
        m_pending.valid = false;
    }
    seen = true;
    target = value;
    // Matching upper-cases the pattern first, so "[a-Z]" is fine and "[Z-a]" is not.
    const QString problem = patternProblem(toPatternCase(value));
    if (!problem.isEmpty()) {
        error(number, QStringLiteral("%1 pattern \"%2\" can never match: %3").arg(key, value, problem));
        m_pending.valid = false;
    }
}

void SourceParser::single(int number, const QString& key, const QString& value, bool& seen, QString& target) {
    if (seen) {
        error(number, QStringLiteral("field \"%1\" given twice").arg(key));
        m_pending.valid = false;
    }
    seen = true;
    target = value;
}

void SourceParser::field(int number, const QString& key, const QString& value) {
    SourceRecord& record = m_pending.record;
    if (key == u"example" || key == u"friend") {
        if (value.isEmpty()) {
            error(number, QStringLiteral("%1 without a command line").arg(key));
            m_pending.valid = false;
            return;
        }
        (key == u"example" ? record.examples : record.friends).append(SourceExample{value, number});
    } else if (key == u"example-company") {
        single(number, key, value, m_pending.hasExampleCompany, record.exampleCompany);
    } else if (key == u"example-name") {
        single(number, key, value, m_pending.hasExampleName, record.exampleName);
    } else if (key == u"file") {
        pattern(number, key, value, m_pending.hasFile, record.filePattern);
    } else if (key == u"company") {
        pattern(number, key, value, m_pending.hasCompany, record.companyPattern);
    } else if (key == u"name") {
        pattern(number, key, value, m_pending.hasName, record.namePattern);
    } else if (key == u"risk") {
        if (m_pending.hasRisk) {
            error(number, QStringLiteral("field \"risk\" given twice"));
            m_pending.valid = false;
        }
        m_pending.hasRisk = true;
        if (value != u"0" && value != u"1") {
            error(number, QStringLiteral("risk must be 0 or 1, not \"%1\"").arg(value));
            m_pending.valid = false;
        }
        record.risk = value == u"1" ? 1 : 0;
    } else if (key == u"link") {
        const qsizetype separator = value.indexOf(u';');
        if (separator < 0) {
            error(number, QStringLiteral("link \"%1\" has no \";\" between text and address").arg(value));
        } else if (value.contains(u'|')) {
            error(number, QStringLiteral("link \"%1\" contains \"|\"").arg(value));
        } else if (separator == 0 || separator == value.size() - 1) {
            error(number, QStringLiteral("link \"%1\" needs both a text and an address").arg(value));
        } else if (!isHttpsAddress(value.mid(separator + 1))) {
            error(number, QStringLiteral("link \"%1\": the address must start with \"https://\" and a host")
                              .arg(value));
        } else {
            record.links.append(value);
            return;
        }
        m_pending.valid = false;
    } else if (isLanguageKey(key)) {
        if (record.descriptions.contains(key)) {
            error(number, QStringLiteral("description \"%1\" given twice").arg(key));
            m_pending.valid = false;
        }
        record.descriptions.insert(key, unescapeText(value));
    } else {
        error(number, QStringLiteral("unknown field \"%1\"").arg(key));
        m_pending.valid = false;
    }
}

void SourceParser::closeRecord() {
    if (!m_open)
        return;
    QStringList missing;
    if (!m_pending.hasFile)
        missing << QStringLiteral("file");
    if (!m_pending.hasCompany)
        missing << QStringLiteral("company");
    if (!m_pending.hasName)
        missing << QStringLiteral("name");
    if (!m_pending.hasRisk)
        missing << QStringLiteral("risk");
    if (!missing.isEmpty()) {
        error(m_pending.record.line,
              QStringLiteral("record lacks %1").arg(missing.join(QStringLiteral(", "))));
        m_pending.valid = false;
    }
    if (m_pending.valid)
        m_records.append(m_pending.record);
    m_open = false;
}

QList<SourceRecord> SourceParser::finish() {
    closeRecord();
    return m_records;
}

} // namespace

void Diagnostics::add(const QString& fileName, int line, const QString& message) {
    errors.append(QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message));
}

QList<SourceRecord> parseSource(const QString& fileName, const QString& text, Diagnostics& diagnostics) {
    SourceParser parser(fileName, diagnostics);
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (int i = 0; i < lines.size(); ++i)
        parser.line(i + 1, lines[i]);
    return parser.finish();
}

QString unescapeText(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && (text[i + 1] == u'n' || text[i + 1] == u'\\')) {
            result.append(text[i + 1] == u'n' ? QChar(u'\n') : QChar(u'\\'));
            ++i;
        } else {
            result.append(text[i]);
        }
    }
    return result;
}

} // namespace sw::dbcompiler
