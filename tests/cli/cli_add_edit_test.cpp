// startwarden-cli add and edit on throwaway prefixes, run from a copy of the program folder.
#include "cli_copy.h"
#include "temp_prefix.h"

#include <QDir>
#include <QTest>

using sw::test::TempPrefix;

class CliAddEditTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;
    TempPrefix m_prefix{{},
                        TempPrefix::userProfileBody() +
                            "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
                            "\"Tray\"=\"rem C:\\\\Tools\\\\tray.exe /quiet\"\n"};

    mutable QString listed; // standard output of the last run

    int cli(const QStringList& arguments) const {
        const sw::test::CliResult result = m_cli.run(QStringList{"--prefix", m_prefix.path()} + arguments);
        listed = QString::fromUtf8(result.out);
        return result.exitCode;
    }

    // Name and program of each row of a category.
    QStringList rows(const QString& category) const {
        cli({"list", category});
        QStringList found;
        for (const QString& line : listed.split('\n', Qt::SkipEmptyParts))
            found.append(line.section('\t', 0, 1));
        return found;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_cli.isValid());
        QVERIFY(m_prefix.writeFile("drive_c/Tools/tray.exe", "MZ"));
        QVERIFY(m_prefix.writeFile("drive_c/Program Files/Big Tool/big.exe", "MZ"));
    }

    void addAndEditFollowTheDialogsRules() {
        const QString big = "\"C:\\Program Files\\Big Tool\\big.exe\" --tray";
        QCOMPARE(cli({"add", "Big", "--program", big, "--place", "ALL RUNONCE"}), 0);
        QCOMPARE(rows("ALL RUNONCE"), QStringList{"Big\t" + big});
        QCOMPARE(cli({"add", "Big", "--program", big, "--place", "LOCAL USER"}), 0);
        QCOMPARE(rows("LOCAL USER"), QStringList{"Big.lnk\tC:\\Program Files\\Big Tool\\big.exe"});

        // Refusals write nothing: a missing program (1), a bad place, file name or argument list (2).
        const QByteArray user = m_prefix.readFile("user.reg");
        const QByteArray machine = m_prefix.readFile("system.reg");
        QCOMPARE(cli({"add", "Gone", "--program", "C:\\Tools\\gone.exe", "--place", "LOCAL RUN"}), 1);
        QCOMPARE(cli({"add", "X", "--program", "C:\\Tools\\tray.exe", "--place", "RUN"}), 2);
        QCOMPARE(cli({"add", "a:b", "--program", "C:\\Tools\\tray.exe", "--place", "ALL USERS"}), 2);
        QCOMPARE(cli({"add", "X", "--place", "LOCAL RUN"}), 2);
        QCOMPARE(cli({"edit", "Tray", "--program", "C:\\nowhere.exe"}), 1);
        QCOMPARE(cli({"edit", "Nothing", "--name", "Else"}), 1);
        QCOMPARE(m_prefix.readFile("user.reg"), user);
        QCOMPARE(m_prefix.readFile("system.reg"), machine);
        QCOMPARE(QDir(m_prefix.commonStartupFolder()).entryList(QDir::Files), QStringList());

        // Renaming the inactive entry makes it active; unnamed fields keep their values.
        QCOMPARE(cli({"edit", "tray", "--name", "Tray Icon"}), 0);
        QCOMPARE(rows("LOCAL RUN"), QStringList{"Tray Icon\tC:\\Tools\\tray.exe /quiet"});
        QVERIFY(!m_prefix.readFile("user.reg").contains("rem "));
        QCOMPARE(cli({"edit", "Tray Icon", "--program", "C:\\Tools\\tray.exe"}), 0);
        QCOMPARE(rows("LOCAL RUN"), QStringList{"Tray Icon\tC:\\Tools\\tray.exe"});

        // --to moves it: the shortcut is written, then the value goes.
        QCOMPARE(cli({"edit", "Tray Icon", "--place", "LOCAL RUN", "--to", "ALL USERS"}), 0);
        QCOMPARE(rows("LOCAL RUN"), QStringList());
        QCOMPARE(rows("ALL USERS"), QStringList{"Tray Icon.lnk\tC:\\Tools\\tray.exe"});
        QCOMPARE(cli({"edit", "Tray Icon.lnk", "--to", "EVERYWHERE"}), 2);
    }
};

QTEST_GUILESS_MAIN(CliAddEditTest)
#include "cli_add_edit_test.moc"
