#include "platform/path_resolution.h"
#include "platform/system_info.h"

#include <QHash>
#include <QTest>

using namespace sw;

namespace {
// The environment and the search path of a small Windows system.
class FixedSystem : public SystemInfo {
public:
    QHash<QString, QString> environment;
    QStringList programs;

    QString GetSpecialFolder(int, bool, bool) const override { return {}; }
    QString environmentValue(const QString& name) const override { return environment.value(name.toUpper()); }
    QString SearchProgramFile(const QString& fileName) const override {
        for (const QString& program : programs)
            if (program.endsWith(QLatin1Char('\\') + fileName, Qt::CaseInsensitive))
                return program;
        return kNotFound;
    }
};
} // namespace

class PathResolutionTest : public QObject {
    Q_OBJECT
private slots:
    void commandLinesToPrograms() {
        FixedSystem system;
        system.environment = {{"SYSTEMROOT", "C:\\windows"}};
        system.programs = {"C:\\windows\\system32\\notepad.exe", "C:\\windows\\regedit"};
        QCOMPARE(ResolveProgramPath("\"C:\\Program Files\\Tool\\tool.exe\" /min", system),
                 QStringLiteral("C:\\Program Files\\Tool\\tool.exe"));
        QCOMPARE(ResolveProgramPath("C:\\Tools\\tool.exe -startup", system),
                 QStringLiteral("C:\\Tools\\tool.exe"));
        QCOMPARE(ResolveProgramPath("%SystemRoot%\\system32\\tool.exe", system),
                 QStringLiteral("C:\\windows\\system32\\tool.exe"));
        QCOMPARE(ResolveProgramPath("notepad", system), QStringLiteral("C:\\windows\\system32\\notepad.exe"));
        QCOMPARE(ResolveProgramPath("regedit /s", system), QStringLiteral("C:\\windows\\regedit"));
        QCOMPARE(ResolveProgramPath("nothing.exe", system), kNotFound);
        QCOMPARE(ResolveProgramPath("", system), kNotFound);
        QCOMPARE(ResolveProgramPath("\"", system), kUnparsable);
        QCOMPARE(ResolveProgramPath("\"C:\\never closed", system), kUnparsable);
    }

    void expansionAlwaysEnds() {
        FixedSystem system;
        system.environment = {{"A", "x"},   {"SELF", "%SELF%"}, {"PCT", "50%"},  {"NESTED", "%A%\\y"},
                              {"P", "%Q%"}, {"Q", "%P%"},       {"G", "%H%%H%"}, {"H", "%G%%G%"}};
        QCOMPARE(ExpandEnvironmentNames("%A%\\%A%", system), QStringLiteral("x\\x"));
        QCOMPARE(ExpandEnvironmentNames("%UNSET%\\%A%", system), QStringLiteral("%UNSET%\\x"));
        QCOMPARE(ExpandEnvironmentNames("%SELF%", system), QStringLiteral("%SELF%"));
        QCOMPARE(ExpandEnvironmentNames("%PCT%%A%", system), QStringLiteral("50%x"));
        QCOMPARE(ExpandEnvironmentNames("single % only", system), QStringLiteral("single % only"));
        QCOMPARE(ExpandEnvironmentNames("%%%%", system), QStringLiteral("%%%%"));
        // A replacement is scanned again from the first "%"; names that expand into each other end.
        QCOMPARE(ExpandEnvironmentNames("%NESTED%", system), QStringLiteral("x\\y"));
        QVERIFY(ExpandEnvironmentNames("%P%", system).startsWith(QLatin1Char('%')));
        QVERIFY(ExpandEnvironmentNames("%G%", system).size() < 70000);
        QString many;
        for (int i = 0; i < 2000; ++i)
            many += "%NOPE%%A%";
        QCOMPARE(ExpandEnvironmentNames(many, system).count(QLatin1Char('x')), 2000);
    }
};

QTEST_GUILESS_MAIN(PathResolutionTest)
#include "path_resolution_test.moc"
