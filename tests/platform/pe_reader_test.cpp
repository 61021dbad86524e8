#include "pe_test_files.h"
#include "platform/wine/pe_icon.h"
#include "platform/wine/pe_resources.h"
#include "platform/wine/pe_version.h"
#include "temp_prefix.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QTest>

using namespace sw;
using sw::test::fixture;
using sw::test::readAll;
using sw::test::runTool;
using sw::test::winePe;

class PeReaderTest : public QObject {
    Q_OBJECT

private slots:
    void fixtures_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("magic");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("product");
        QTest::addColumn<int>("groupId");
        auto row = [](const char* file, int magic, const char* company, const char* product, int group) {
            QTest::newRow(file) << QString(file) << magic << QString(company) << QString(product) << group;
        };
        row("app_x86_64.exe", 0x20B, "Example Tools Ltd.", "Tool Suite", 1);
        row("app_i686.exe", 0x10B, "Example Tools Ltd.", "Tool Suite", 1);
        // The first table in these files is 040904E4 ("English Co"); Translation names 040704B0 first.
        row("multi_x86_64.dll", 0x20B, "Müller GmbH", "Größenprüfer", 7);
        row("multi_i686.dll", 0x10B, "Müller GmbH", "Größenprüfer", 7);
    }
    void fixtures() {
        QFETCH(QString, file);
        QFETCH(int, magic);
        QFETCH(QString, company);
        QFETCH(QString, product);
        QFETCH(int, groupId);
        const QByteArray bytes = readAll(fixture(file));
        QVERIFY(!bytes.isEmpty());
        const PeResources pe(bytes);
        QCOMPARE(pe.magic(), magic);
        QCOMPARE(readVersionText(bytes, QStringLiteral("CompanyName")), company);
        QCOMPARE(readVersionText(bytes, QStringLiteral("productname")), product);
        QCOMPARE(readVersionText(bytes, QStringLiteral("NoSuchName")), QString());
        QCOMPARE(pe.firstName(kResourceGroupIcon)->id, groupId);
        // Every fixture carries the same icon file, so the rebuilt group must be it, byte for byte.
        QCOMPARE(rebuildFirstIconGroup(pe), readAll(fixture(QStringLiteral("app.ico"))));
    }

    void rebuiltIconDecodesInQt() {
        QByteArray ico =
            rebuildFirstIconGroup(PeResources(readAll(fixture(QStringLiteral("app_x86_64.exe")))));
        QBuffer buffer(&ico);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), 4);
        QList<int> widths;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            widths << image.width();
        }
        QCOMPARE(widths, (QList<int>{16, 32, 48, 256})); // the last one is the PNG entry
        // No 64 px image: the next larger one is scaled down, not the largest.
        QCOMPARE(bestIconImage(ico, 64).size(), QSize(64, 64));
        const QImage img32(fixture(QStringLiteral("img32.png"))), img48(fixture(QStringLiteral("img48.png")));
        QVERIFY(sw::test::scaledFrom(bestIconImage(ico, 24), img32));
        QVERIFY(!sw::test::scaledFrom(bestIconImage(ico, 24), img48));
    }

    void bestDepthPerSize() {
        const QIcon own = readIconImage(readAll(fixture(QStringLiteral("app_x86_64.exe"))), 32);
        QCOMPARE(own.availableSizes(), (QList<QSize>{{32, 32}, {16, 16}}));
        QCOMPARE(own.pixmap(16).toImage().pixel(8, 8), 0xffff0000u);
        QCOMPARE(own.pixmap(32).toImage().pixel(16, 16), 0xff0000ffu);

        // Wine's icons hold 32, 8 and 4 bpp images of each size, the 4 bpp one last.
        const QString iexplore = winePe(QStringLiteral("iexplore.exe"));
        if (!QFileInfo::exists(iexplore))
            QSKIP("Wine's iexplore.exe is not installed (package libwine)");
        const QIcon wine = readIconImage(readAll(iexplore), 16);
        QCOMPARE(wine.pixmap(16).toImage().pixel(8, 8), 0xff5b9f92u);
    }

    void wineFilesMatchWrestool_data() {
        QTest::addColumn<QString>("file");
        for (const char* name : {"regedit.exe", "iexplore.exe", "notepad.exe", "explorer.exe", "winecfg.exe"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void wineFilesMatchWrestool() {
        QFETCH(QString, file);
        const QString path = winePe(file);
        if (!QFileInfo::exists(path))
            QSKIP("Wine's PE programs are not installed (package libwine)");
        const QByteArray listing = runTool(QStringLiteral("wrestool"), {QStringLiteral("-l"), path});
        if (listing.isNull())
            QSKIP("wrestool (icoutils) is not installed");
        const QByteArray bytes = readAll(path);
        const PeResources pe(bytes);
        QVERIFY(pe.isPe());

        // The whole tree, in order: type, name, language and size of every leaf.
        QStringList ours;
        for (const PeResource& r : pe.resources()) {
            const QString type =
                r.type.isNamed() ? QStringLiteral("'%1'").arg(r.type.text) : QString::number(r.type.id);
            const QString name =
                r.name.isNamed() ? QStringLiteral("'%1'").arg(r.name.text) : QString::number(r.name.id);
            ours << QStringLiteral("%1 %2 %3 %4").arg(type, name).arg(r.language).arg(r.size);
        }
        QStringList theirs;
        static const QRegularExpression line(
            QStringLiteral(R"(--type=(\S+) --name=(\S+) --language=(\d+) \[.*size=(\d+)\])"));
        for (const QByteArray& text : listing.split('\n')) {
            const auto m = line.match(QString::fromUtf8(text));
            if (m.hasMatch())
                theirs << QStringLiteral("%1 %2 %3 %4")
                              .arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4));
        }
        QCOMPARE(ours, theirs);

        const QByteArray version = runTool(QStringLiteral("wrestool"), {"-x", "-t16", "--raw", path});
        QCOMPARE(readVersionBlock(bytes), version.isEmpty() ? QByteArray() : version);

        // wrestool appends a copy of the group data to the .ico it writes.
        const QByteArray ours_ico = rebuildFirstIconGroup(pe);
        const auto group = pe.firstName(kResourceGroupIcon);
        QCOMPARE(ours_ico.isEmpty(), !group.has_value());
        if (group) {
            const QByteArray theirs_ico =
                runTool(QStringLiteral("wrestool"), {"-x", "-t14", "-n", QString::number(group->id), path});
            QVERIFY(theirs_ico.size() > ours_ico.size());
            QVERIFY(theirs_ico.startsWith(ours_ico));
        }
    }

    void wineVersionTexts() {
        const QString regedit = winePe(QStringLiteral("regedit.exe"));
        if (!QFileInfo::exists(regedit))
            QSKIP("Wine's PE programs are not installed (package libwine)");
        const QByteArray bytes = readAll(regedit);
        QCOMPARE(readVersionText(bytes, QStringLiteral("CompanyName")),
                 QStringLiteral("Microsoft Corporation"));
        QCOMPARE(readVersionText(bytes, QStringLiteral("ProductName")), QStringLiteral("Wine"));
        // The first of regedit's six groups is ID 100, not 1.
        QCOMPARE(PeResources(bytes).firstName(kResourceGroupIcon)->id, 100);
        // notepad has no version resource at all.
        QCOMPARE(
            readVersionText(readAll(winePe(QStringLiteral("notepad.exe"))), QStringLiteral("CompanyName")),
            QString());
    }
};

QTEST_MAIN(PeReaderTest)
#include "pe_reader_test.moc"
