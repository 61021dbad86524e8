#include "info/pattern_match.h"

#include <QElapsedTimer>
#include <QTest>

using sw::matchesPattern;

namespace {
void row(const char* name, const char* pattern, const char* text, bool expected) {
    QTest::newRow(name) << QString::fromUtf8(pattern) << QString::fromUtf8(text) << expected;
}
} // namespace

class PatternMatchTest : public QObject {
    Q_OBJECT

private slots:
    void matches_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        row("empty pattern, empty text", "", "", true);
        row("empty pattern, any text", "", "A", false);
        row("star matches empty", "*", "", true);
        row("literal is whole text", "TOOL.EXE", "TOOL.EXE -AUTO", false);
        row("trailing star", "TOOL.EXE*", "TOOL.EXE -AUTO", true);
        row("inner star needs suffix", "A*B", "AXXBX", false);
        row("star retries after false start", "*AB", "AAB", true);
        row("two stars", "*ON*EXE", "ONEDRIVE.EXE", true);
        row("question mark is one char", "A?C", "ABC", true);
        row("question mark not empty", "A?C", "AC", false);
        row("hash is a digit", "V##", "V12", true);
        row("list member", "[ABC]X", "BX", true);
        row("range edge", "[A-F]", "F", true);
        row("range and members", "[0-9XY]", "Y", true);
        row("negated list", "[!0-9]", "A", true);
        row("hyphen first is literal", "[-A]", "-", true);
        row("star and hash inside list are literal", "[*#]", "#", true);
        row("list consumes one char only", "[AB]", "AB", false);
        row("unclosed bracket is literal", "[AB", "[AB", true);
        row("lone closing bracket is literal", "A]", "A]", true);
        row("empty list matches nothing", "[]", "A", false);
        row("negated empty list is any char", "[!]", "A", true);
        row("reversed range matches nothing", "[Z-A]", "M", false);
        row("case is compared by code", "tool", "TOOL", false);
        row("quotes and blanks are ordinary", "\"X Y\"*", "\"X Y\" /Q", true);
    }
    void matches() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(matchesPattern(text, pattern), expected);
    }

    void starsDoNotBacktrackExponentially() {
        const QString pattern = QString(QStringLiteral("*A")).repeated(40) + QStringLiteral("*B");
        const QString text = QString(u'A').repeated(20000);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!matchesPattern(text, pattern));
        QVERIFY(matchesPattern(text + u'B', pattern));
        QVERIFY(!matchesPattern(text, QString(u'*').repeated(5000) + u'B'));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }

    void foldsCaseCharacterByCharacter() {
        QCOMPARE(sw::toPatternCase(QStringLiteral("straße äö [a-z]")), QStringLiteral("STRAßE ÄÖ [A-Z]"));
        // Folding on the fly agrees with folding first, inside lists and ranges too.
        for (const char* pattern : {"tool.[d-f]x?", "*ä[!a-c]#", "[a-Z]", "[z-a]"}) {
            for (const char* text : {"TOOL.EXE", "XÄD1", "M", "B"}) {
                const QString p = QString::fromUtf8(pattern);
                const QString t = QString::fromUtf8(text);
                QCOMPARE(matchesPattern(t, p, sw::PatternCase::Upper),
                         matchesPattern(t, sw::toPatternCase(p)));
            }
        }
        QVERIFY(matchesPattern(u"TOOL.EXE", u"tool.[d-f]x?", sw::PatternCase::Upper));
    }

    void problems_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("fine");
        QTest::newRow("lists") << "[A-Z][!0-9][-X]#?*" << true;
        QTest::newRow("negated empty list") << "[!]" << true;
        QTest::newRow("lone closing bracket") << "A]" << true;
        QTest::newRow("unclosed") << "[A-Z" << false;
        QTest::newRow("unclosed after list") << "[A][B" << false;
        QTest::newRow("empty list") << "X[]" << false;
        QTest::newRow("reversed range") << "[Z-A]" << false;
    }
    void problems() {
        QFETCH(QString, pattern);
        QFETCH(bool, fine);
        QCOMPARE(sw::patternProblem(pattern).isEmpty(), fine);
    }
};

QTEST_APPLESS_MAIN(PatternMatchTest)
#include "pattern_match_test.moc"
