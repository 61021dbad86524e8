// Round trips with Wine 8 itself on a throwaway prefix: what `wine reg add` wrote reads back exactly,
// what the store wrote reads back exactly through `wine reg export` and survives Wine's own re-save,
// and a running wineserver is seen. Skipped when Wine is not installed.
#include "platform/wine/registry_wine_store.h"
#include "platform/wine/wine_running.h"
#include "wine_session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using sw::kHkeyCurrentUser;
using sw::kHkeyLocalMachine;
using sw::RegistryError;
using sw::WineRegistryStore;

namespace {

const QString kKey = QStringLiteral("Software\\SwWineTest");

struct Sample {
    QString name;
    QString data;
};

// Names and data with non-ASCII, quotes, backslashes, brackets and control characters.
QList<Sample> samples() {
    return {
        {QStringLiteral("Plain"), QStringLiteral("C:\\x y\\a.exe /min")},
        {QString::fromUtf8("\xc3\x9c"
                           "bung"),
         QString::fromUtf8("C:\\Programme\\\xc3\x9c"
                           "bung\\\xc3\xbc.exe")},
        {QString::fromUtf8("ab9\xc3\xa9"
                           "1\xc3\xa9z"),
         QString::fromUtf8("\xc3\xa9"
                           "a \xc3\xa9"
                           "9 \xc3\xa9z \xc3\xa9")},
        {QStringLiteral("Quote\"d [x]"), QStringLiteral("say \"hi\" \\\\ back\\")},
        {QString::fromUtf8("Emoji\xf0\x9f\x98\x80x"), QString::fromUtf8("\xc3\xa4"
                                                                        "9 \xe2\x82\xac \xf0\x9f\x98\x80")},
        {QStringLiteral("Ctl"), QString::fromLatin1("a\tb\x01"
                                                    "c\x01"
                                                    "7\x1bz")},
        {QStringLiteral("_under"), QStringLiteral("u")},
    };
}

} // namespace

class RegistryWineTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_prefix = m_dir.filePath(QStringLiteral("prefix"));
    sw::test::WineSession m_session{m_prefix};

    int wine(const QStringList& args, QByteArray* out = nullptr) {
        return m_session.run(QStringLiteral("wine"), args, out, 120000);
    }

private slots:
    void initTestCase() {
        if (!sw::test::WineSession::available())
            QSKIP("Wine is not installed");
        QVERIFY(m_dir.isValid());
        // no menu entries on the host, no windows
        m_session.setVariable(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("winemenubuilder.exe=d"));
        m_session.setVariable(QStringLiteral("DISPLAY"), QString());
        QCOMPARE(m_session.boot(300000), 0);
        m_session.waitForServer(120000);
        QVERIFY(QFile::exists(m_prefix + QStringLiteral("/user.reg")));
        QVERIFY(QFile::exists(m_prefix + QStringLiteral("/system.reg")));
    }

    // Values that `wine reg add` wrote are read exactly; the running server is seen.
    void readsWhatWineWrote() {
        QCOMPARE(m_session.run(QStringLiteral("wineserver"), {QStringLiteral("-p")}, nullptr, 30000), 0);
        const QString key = QStringLiteral("HKCU\\") + kKey + QStringLiteral("\\FromWine");
        for (const Sample& s : samples())
            QCOMPARE(wine({QStringLiteral("reg"), QStringLiteral("add"), key, QStringLiteral("/v"), s.name,
                           QStringLiteral("/d"), s.data, QStringLiteral("/f")}),
                     0);
        QCOMPARE(wine({QStringLiteral("reg"), QStringLiteral("add"), key, QStringLiteral("/ve"),
                       QStringLiteral("/d"), QStringLiteral("default \"q\" \\ b"), QStringLiteral("/f")}),
                 0);
        QCOMPARE(wine({QStringLiteral("reg"), QStringLiteral("add"), key, QStringLiteral("/v"),
                       QStringLiteral("Multi"), QStringLiteral("/t"), QStringLiteral("REG_MULTI_SZ"),
                       QStringLiteral("/d"), QStringLiteral("one\\0two"), QStringLiteral("/f")}),
                 0);
        QCOMPARE(wine({QStringLiteral("reg"), QStringLiteral("add"), key, QStringLiteral("/v"),
                       QStringLiteral("Dw"), QStringLiteral("/t"), QStringLiteral("REG_DWORD"),
                       QStringLiteral("/d"), QStringLiteral("4660"), QStringLiteral("/f")}),
                 0);

        // a real wineserver holds the prefix now, and is seen
        const QString running = sw::wineRunningOn(m_prefix);
        QVERIFY2(running.contains(QStringLiteral("Wine is running on the prefix")), qPrintable(running));
        m_session.stopServer();
        QVERIFY(sw::wineRunningOn(m_prefix).isEmpty());

        WineRegistryStore store(m_prefix);
        const QString sub = kKey + QStringLiteral("\\FromWine");
        QStringList names;
        QList<std::uint32_t> kinds;
        QVERIFY(store.EnumerateValues(kHkeyCurrentUser, sub, names, kinds));
        for (const Sample& s : samples()) {
            QVERIFY2(names.contains(s.name), qPrintable(s.name));
            QCOMPARE(store.ReadValue(kHkeyCurrentUser, sub, s.name, 0), s.data);
        }
        QCOMPARE(names.first(), store.SkippedValueName());
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, sub, QString(), 0), QStringLiteral("default \"q\" \\ b"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, sub, QStringLiteral("multi"), 0),
                 QStringLiteral("one\ntwo"));
        QCOMPARE(store.ReadValue(kHkeyCurrentUser, sub, QStringLiteral("DW"), 0), QStringLiteral("4660"));
    }

    // Values the store wrote are read exactly by Wine (reg export is lossless UTF-16) and survive
    // Wine's own re-save of the files.
    void wineReadsWhatWeWrote() {
        QVERIFY(sw::wineRunningOn(m_prefix).isEmpty());
        WineRegistryStore store(m_prefix);
        const QString sub = kKey + QStringLiteral("\\FromStore");
        store.CreateKey(kHkeyCurrentUser, sub);
        for (const Sample& s : samples())
            store.WriteStringValue(kHkeyCurrentUser, sub, s.name, s.data);
        store.WriteStringValue(kHkeyLocalMachine,
                               QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
                               QStringLiteral("SwMachine"), QStringLiteral("C:\\m \"q\".exe"));
        store.CopyValue(kHkeyCurrentUser, sub, samples()[1].name, kHkeyCurrentUser, sub,
                        QStringLiteral("Copied"));

        const QString exportFile = m_dir.filePath(QStringLiteral("export.reg"));
        QCOMPARE(wine({QStringLiteral("reg"), QStringLiteral("export"), QStringLiteral("HKCU\\") + sub,
                       exportFile, QStringLiteral("/y")}),
                 0);
        QFile f(exportFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray raw = f.readAll();
        QVERIFY(raw.startsWith("\xff\xfe"));
        QString text;
        for (qsizetype i = 2; i + 1 < raw.size(); i += 2)
            text.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(raw[i]) |
                                                    (static_cast<unsigned char>(raw[i + 1]) << 8))));
        // reg export escapes backslash and quote (and line feeds) in names and data
        auto esc = [](QString s) {
            return s.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
                .replace(QLatin1Char('"'), QStringLiteral("\\\""));
        };
        QList<Sample> expected = samples();
        expected.append({QStringLiteral("Copied"), samples()[1].data});
        for (const Sample& s : expected) {
            const QString line =
                QLatin1Char('"') + esc(s.name) + QStringLiteral("\"=\"") + esc(s.data) + QLatin1Char('"');
            QVERIFY2(text.contains(line + QStringLiteral("\r\n")),
                     qPrintable(line + QStringLiteral("\n---\n") + text));
        }
        QCOMPARE(wine({QStringLiteral("reg"), QStringLiteral("query"),
                       QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
                       QStringLiteral("/v"), QStringLiteral("swmachine")}),
                 0);
        // the cold start above ran wineboot, which changed HKCU: Wine rewrites user.reg from memory
        m_session.stopServer();
        for (const Sample& s : samples())
            QCOMPARE(store.ReadValue(kHkeyCurrentUser, sub, s.name, 0), s.data);
        QCOMPARE(store.ReadValue(kHkeyLocalMachine,
                                 QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
                                 QStringLiteral("SwMachine"), 0),
                 QStringLiteral("C:\\m \"q\".exe"));
        // deleting through the store is seen by Wine too
        store.DeleteValue(kHkeyCurrentUser, sub, QStringLiteral("Plain"));
        QCOMPARE(wine({QStringLiteral("reg"), QStringLiteral("query"), QStringLiteral("HKCU\\") + sub,
                       QStringLiteral("/v"), QStringLiteral("Plain")}),
                 1);
        QCOMPARE(wine({QStringLiteral("reg"), QStringLiteral("query"), QStringLiteral("HKCU\\") + sub,
                       QStringLiteral("/v"), QStringLiteral("_under")}),
                 0);
        m_session.stopServer();
    }
};

QTEST_GUILESS_MAIN(RegistryWineTest)
#include "registry_wine_test.moc"
