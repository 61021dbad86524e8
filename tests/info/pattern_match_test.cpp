#include "info/pattern_match.h"

#include <QElapsedTimer>
#include <QTest>

using sw::matchesPattern;

class PatternMatchTest : public QObject {
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void starsDoNotBacktrackExponentially();
    void foldsCaseCharacterByCharacter();
    void problems_data();
    void problems();
};

void PatternMatchTest::matches_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    QTest::newRow("empty pattern, empty text") << ""
                                               << "" << true;
    QTest::newRow("empty pattern, any text") << ""
                                             << "A" << false;
    QTest::newRow("star matches empty") << "*"
                                        << "" << true;
    QTest::newRow("literal is whole text") << "TOOL.EXE"
                                           << "TOOL.EXE -AUTO" << false;
    QTest::newRow("trailing star") << "TOOL.EXE*"
                                   << "TOOL.EXE -AUTO" << true;
    QTest::newRow("leading star") << "*.EXE"
                                  << "C.EXE" << true;
    QTest::newRow("inner star needs suffix") << "A*B"
                                             << "AXXBX" << false;
    QTest::newRow("star retries after false start") << "*AB"
                                                    << "AAB" << true;
    QTest::newRow("two stars") << "*ON*EXE"
                               << "ONEDRIVE.EXE" << true;
    QTest::newRow("question mark is one char") << "A?C"
                                               << "ABC" << true;
    QTest::newRow("question mark not empty") << "A?C"
                                             << "AC" << false;
    QTest::newRow("hash is a digit") << "V##"
                                     << "V12" << true;
    QTest::newRow("hash is not a letter") << "V#"
                                          << "VX" << false;
    QTest::newRow("list member") << "[ABC]X"
                                 << "BX" << true;
    QTest::newRow("list non-member") << "[ABC]X"
                                     << "DX" << false;
    QTest::newRow("range") << "[A-F]1"
                           << "E1" << true;
    QTest::newRow("range edge") << "[A-F]"
                                << "F" << true;
    QTest::newRow("outside range") << "[A-F]"
                                   << "G" << false;
    QTest::newRow("range and members") << "[0-9XY]"
                                       << "Y" << true;
    QTest::newRow("negated list") << "[!0-9]"
                                  << "A" << true;
    QTest::newRow("negated list rejects") << "[!0-9]"
                                          << "5" << false;
    QTest::newRow("hyphen first is literal") << "[-A]"
                                             << "-" << true;
    QTest::newRow("hyphen last is literal") << "[A-]"
                                            << "-" << true;
    QTest::newRow("star and hash inside list are literal") << "[*#]"
                                                           << "#" << true;
    QTest::newRow("list consumes one char only") << "[AB]"
                                                 << "AB" << false;
    QTest::newRow("unclosed bracket is literal") << "[AB"
                                                 << "[AB" << true;
    QTest::newRow("unclosed bracket does not match member") << "[AB"
                                                            << "A" << false;
    QTest::newRow("lone closing bracket is literal") << "A]"
                                                     << "A]" << true;
    QTest::newRow("empty list matches nothing") << "[]"
                                                << "A" << false;
    QTest::newRow("negated empty list is any char") << "[!]"
                                                    << "A" << true;
    QTest::newRow("reversed range matches nothing") << "[Z-A]"
                                                    << "M" << false;
    QTest::newRow("case is compared by code") << "tool"
                                              << "TOOL" << false;
    QTest::newRow("quotes and blanks are ordinary") << "\"X Y\"*"
                                                    << "\"X Y\" /Q" << true;
    QTest::newRow("star then list") << "*[0-9].EXE"
                                    << "APP7.EXE" << true;
}

void PatternMatchTest::matches() {
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(matchesPattern(text, pattern), expected);
}

void PatternMatchTest::starsDoNotBacktrackExponentially() {
    const QString pattern = QString(QStringLiteral("*A")).repeated(40) + QStringLiteral("*B");
    const QString text = QString(u'A').repeated(20000);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!matchesPattern(text, pattern));
    QVERIFY(matchesPattern(text + u'B', pattern));
    QVERIFY(!matchesPattern(text, QString(u'*').repeated(5000) + u'B'));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

void PatternMatchTest::foldsCaseCharacterByCharacter() {
    QCOMPARE(sw::toPatternCase(QStringLiteral("Tool.exe [a-z]")), QStringLiteral("TOOL.EXE [A-Z]"));
    QCOMPARE(sw::toPatternCase(QStringLiteral("straße äö")), QStringLiteral("STRAßE ÄÖ"));
    // Folding on the fly agrees with folding first, inside lists and ranges too.
    for (const char* pattern : {"tool.[d-f]x?", "*ä[!a-c]#", "[a-Z]", "[z-a]"}) {
        for (const char* text : {"TOOL.EXE", "XÄD1", "M", "B"}) {
            const QString p = QString::fromUtf8(pattern);
            const QString t = QString::fromUtf8(text);
            QCOMPARE(matchesPattern(t, p, sw::PatternCase::Upper), matchesPattern(t, sw::toPatternCase(p)));
        }
    }
    QVERIFY(matchesPattern(u"TOOL.EXE", u"tool.[d-f]x?", sw::PatternCase::Upper));
    QVERIFY(!matchesPattern(u"TOOL.EXE", u"tool.[d-f]x?"));
}

void PatternMatchTest::problems_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("fine");
    QTest::newRow("plain") << "ONEDRIVE.EXE*" << true;
    QTest::newRow("lists") << "[A-Z][!0-9][-X]#?" << true;
    QTest::newRow("negated empty list") << "[!]" << true;
    QTest::newRow("lone closing bracket") << "A]" << true;
    QTest::newRow("unclosed") << "[A-Z" << false;
    QTest::newRow("unclosed after list") << "[A][B" << false;
    QTest::newRow("empty list") << "X[]" << false;
    QTest::newRow("reversed range") << "[Z-A]" << false;
}

void PatternMatchTest::problems() {
    QFETCH(QString, pattern);
    QFETCH(bool, fine);
    QCOMPARE(sw::patternProblem(pattern).isEmpty(), fine);
}

QTEST_APPLESS_MAIN(PatternMatchTest)
#include "pattern_match_test.moc"
