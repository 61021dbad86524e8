// startwarden-cli on a fake home holding every launcher's files (HOME set to it, WINEPREFIX unset):
// prefixes with each one's count, --prefix by name, and list and info over every prefix at once.
#include "cli_copy.h"
#include "fake_home.h"
#include "prefixes/prefix_settings.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTest>

using sw::test::CliResult;
using sw::test::FakeHome;

class CliPrefixesTest : public QObject {
    Q_OBJECT

    sw::test::CliCopy m_cli;
    QString m_home;

    QStringList expectedLines() const {
        QStringList lines;
        for (const QString& found : FakeHome::everySourceListing() + QStringList{"added|added|added"}) {
            QStringList fields = found.split('|');
            fields[2] = QDir(m_home).filePath(fields[2]);
            const int entries = fields[0] == ".wine" ? 2 : fields[0].startsWith("Steamworks") ? 1 : 0;
            lines << (fields << QString::number(entries) << "No").join('\t');
        }
        return lines;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_cli.isValid());
        m_home = QDir(m_cli.home()).canonicalPath();
        const FakeHome home(m_home);
        QVERIFY(home.fillWithEverySource());
        QVERIFY(home.makePrefix("added"));
        QSettings settings(m_home + "/config/Tidyra/Tidyra.conf", QSettings::IniFormat);
        sw::addPrefixFolder(settings, home.path("added"));
        sw::addPrefixFolder(settings, home.path("Games/other")); // found by Lutris already
        QVERIFY(home.writeFile(".config/heroic/GamesConfig/broken.json", "{\"broken\": "));
    }

    void prefixesListsEverySourceWithCounts() {
        const CliResult result = m_cli.run({"prefixes"});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.out).split('\n', Qt::SkipEmptyParts), expectedLines());
        QVERIFY2(result.err.startsWith("startwarden-cli: skipped " + m_home.toUtf8() +
                                       "/.config/heroic/GamesConfig/broken.json: not readable as JSON") &&
                     result.err.count('\n') == 1,
                 result.err.constData());

        const CliResult json = m_cli.run({"prefixes", "--json"});
        QCOMPARE(json.exitCode, 0);
        const QJsonArray objects = QJsonDocument::fromJson(json.out).array();
        QStringList lines;
        for (const QJsonValue& value : objects) {
            const QJsonObject object = value.toObject();
            QCOMPARE(object.keys(), QStringList({"entries", "name", "path", "running", "source"}));
            QVERIFY(object["entries"].isDouble() && object["running"].isBool());
            lines << QStringList{object["name"].toString(), object["source"].toString(),
                                 object["path"].toString(), QString::number(object["entries"].toInt()),
                                 object["running"].toBool() ? "Yes" : "No"}
                         .join('\t');
        }
        QCOMPARE(lines, expectedLines());
    }

    void prefixTakesANameFromTheList() {
        const CliResult named =
            m_cli.run({"--prefix", "STEAMWORKS common redistributables", "list", "--json"});
        QCOMPARE(named.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(named.out).array().size(), 1);

        // "Games" is a bottle and, here, a PlayOnLinux prefix: both are named, nothing is listed.
        QVERIFY(FakeHome(m_home).makePrefix(".PlayOnLinux/wineprefix/games"));
        const CliResult ambiguous = m_cli.run({"--prefix", "Games", "list"});
        QVERIFY(QDir(m_home + "/.PlayOnLinux/wineprefix/games").removeRecursively());
        QCOMPARE(ambiguous.exitCode, 1);
        QVERIFY(ambiguous.out.isEmpty());
        QVERIFY2(ambiguous.err.contains("bottles/Games\n") && ambiguous.err.contains("wineprefix/games"),
                 ambiguous.err.constData());

        QCOMPARE(m_cli.run({"--prefix", "No Such Game", "list"}).exitCode, 2);
    }

    void allPrefixesListsEveryPrefix() {
        const CliResult json = m_cli.run({"list", "--all-prefixes", "--json"});
        QCOMPARE(json.exitCode, 0);
        QStringList rows;
        for (const QJsonValue& value : QJsonDocument::fromJson(json.out).array())
            rows << value["prefix"].toString() + ":" + value["name"].toString();
        QCOMPARE(rows,
                 QStringList({".wine:tool0", ".wine:tool1", "Steamworks Common Redistributables:tool0"}));

        const CliResult info = m_cli.run({"info", "LOCAL RUN", "--all-prefixes"});
        QCOMPARE(info.exitCode, 0);
        const QList<QByteArray> lines = info.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[2].startsWith("Steamworks Common Redistributables\ttool0\tC:\\tool.exe\t"));

        QCOMPARE(m_cli.run({"backups", "--all-prefixes"}).exitCode, 2);
        QCOMPARE(m_cli.run({"list", "--all-prefixes", "NO CATEGORY"}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(CliPrefixesTest)
#include "cli_prefixes_test.moc"
