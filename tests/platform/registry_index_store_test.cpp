// The stored index of a large registry file: reused by the next reader of the same version, never
// for a changed file, and refused when damaged.
#include "platform/wine/registry_file_index.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using sw::winereg::RegistryFileIndex;

namespace {

const QString kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const QString kEscaped = QStringLiteral("Software\\Caf\u00e9");

// A registry file above the size whose index is stored: filler keys around a Run key with one
// value and a key whose name Wine writes escaped.
QByteArray registryFile(const QByteArray& runData) {
    QByteArray text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    for (int i = 0; text.size() < RegistryFileIndex::kStoredMinimumBytes; ++i) {
        text += "\n[Software\\\\Filler\\\\Key" + QByteArray::number(i) + "] 1700000000\n";
        text += "\"Value\"=\"" + QByteArray(60, 'x') + "\"\n";
        if (i == 5000)
            text += "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n\"App\"=\"" +
                    runData + "\"\n\n[Software\\\\Caf\\x00e9] 1700000000\n\"Name\"=\"accent\"\n";
    }
    return text;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The text of a key's sections, or "<none>"/"<error>".
QByteArray keyText(const RegistryFileIndex& index, const QString& key) {
    RegistryFileIndex::Key found;
    if (!index.key(key, found))
        return "<error>";
    return found.sections.isEmpty() ? "<none>" : found.bytes;
}

} // namespace

class RegistryIndexStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(m_cache.isValid() && m_files.isValid());
        qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
        QDir(RegistryFileIndex::storeFolder()).removeRecursively();
    }

    void reusedForTheSameVersionOnly() {
        const QString path = m_files.filePath("system.reg");
        writeFile(path, registryFile("C:\\\\old.exe"));
        const auto built = RegistryFileIndex::read(path);
        QVERIFY(built && !built->isStored());
        QCOMPARE(QDir(RegistryFileIndex::storeFolder()).entryList({"*.index"}, QDir::Files).size(), 1);

        const auto stored = RegistryFileIndex::read(path);
        QVERIFY(stored && stored->isStored());
        QCOMPARE(keyText(*stored, kRun), keyText(*built, kRun));
        QVERIFY(keyText(*stored, kRun).contains("old.exe"));
        QVERIFY(keyText(*stored, kEscaped).contains("accent"));
        QCOMPARE(keyText(*stored, "Software\\Missing"), QByteArray("<none>"));

        // Changed in place to the same size: the stored index must not be used.
        QByteArray changed = registryFile("C:\\\\new.exe");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QCOMPARE(file.write(changed), changed.size());
        file.close();
        const auto rebuilt = RegistryFileIndex::read(path);
        QVERIFY(rebuilt && !rebuilt->isStored());
        QVERIFY(keyText(*rebuilt, kRun).contains("new.exe"));
    }

    void damagedStoreIsRefused_data() {
        QTest::addColumn<int>("cutTo");
        QTest::addColumn<int>("flipAt");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("header only") << 128 << 0;
        QTest::newRow("cut short") << 4000 << 0;
        QTest::newRow("magic") << -1 << 0;
        QTest::newRow("inode") << -1 << 24;
        // the header checks out, the tables do not
        QTest::newRow("tables, first byte") << -1 << 160;
        QTest::newRow("tables, 4000 from the end") << -1 << -4000;
        QTest::newRow("tables, last byte") << -1 << -1;
    }
    void damagedStoreIsRefused() {
        QFETCH(int, cutTo);
        QFETCH(int, flipAt);
        const QString path = m_files.filePath("system.reg");
        writeFile(path, registryFile("C:\\\\app.exe"));
        QVERIFY(RegistryFileIndex::read(path));
        const QStringList stored = QDir(RegistryFileIndex::storeFolder()).entryList({"*.index"}, QDir::Files);
        QCOMPARE(stored.size(), 1);
        QFile file(RegistryFileIndex::storeFolder() + "/" + stored.first());
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (cutTo >= 0)
            QVERIFY(file.resize(cutTo));
        if (cutTo < 0) { // one byte changed; counted from the end when negative
            QVERIFY(file.seek(flipAt >= 0 ? flipAt : file.size() + flipAt));
            const char changed = char(~file.peek(1).at(0));
            QVERIFY(file.write(&changed, 1) == 1);
        }
        file.close();
        const auto index = RegistryFileIndex::read(path);
        QVERIFY(index && !index->isStored());
        QVERIFY(keyText(*index, kRun).contains("app.exe"));
    }

private:
    QTemporaryDir m_cache;
    QTemporaryDir m_files;
};

QTEST_GUILESS_MAIN(RegistryIndexStoreTest)
#include "registry_index_store_test.moc"
