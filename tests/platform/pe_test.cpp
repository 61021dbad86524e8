// The PE resource reader on the fixtures, on Wine's own programs against wrestool, on damaged
// resources, on files built here with mingw-w64 for cases the fixtures lack, and through the file
// information service the program uses.
#include "fixture_bytes.h"
#include "platform/wine/pe_file_icons.h"
#include "platform/wine/pe_file_information.h"
#include "platform/wine/pe_icon.h"
#include "platform/wine/pe_resources.h"
#include "platform/wine/pe_version.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace sw;
using sw::test::fileBytes;
using sw::test::fixture;
using sw::test::fixtureBytes;

namespace {

// Standard output of a tool, or a null array when it is missing or fails.
QByteArray runTool(const QString& program, const QStringList& arguments,
                   const QString& workingDirectory = {}) {
    if (QStandardPaths::findExecutable(program).isEmpty())
        return {};
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    QByteArray out = process.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

// Whether `image` is `source` scaled smoothly to its size (channels within 2 of each other).
bool scaledFrom(const QImage& image, const QImage& source) {
    const QImage a = image.convertToFormat(QImage::Format_ARGB32);
    const QImage b = source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                         .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_ARGB32);
    if (a.isNull() || a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAlpha(p) == 0 && qAlpha(q) == 0)
                continue;
            for (int shift : {0, 8, 16, 24}) {
                if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > 2)
                    return false;
            }
        }
    }
    return true;
}

// Where Debian's Wine package keeps its 64-bit PE programs.
QString winePe(const QString& name) {
    return QStringLiteral("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/") + name;
}

// A copy of `bytes` with a little-endian number written at `at`.
template <typename Number> QByteArray patched(QByteArray bytes, qsizetype at, Number value) {
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

} // namespace

class PeTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    // Builds an .exe with mingw-w64 from a resource script body; empty when that fails.
    QByteArray build(const QByteArray& resources) {
        const QString base = QStringLiteral("t%1").arg(++m_count);
        sw::test::writeBytes(m_dir.filePath(base + ".rc"), "#pragma code_page(65001)\n" + resources);
        sw::test::writeBytes(m_dir.filePath("main.c"), "int main(void) { return 0; }\n");
        const auto run = [&](const char* tool, const QStringList& arguments) {
            return !runTool(QString("x86_64-w64-mingw32-") + tool, arguments, m_dir.path()).isNull();
        };
        if (!run("windres", {base + ".rc", "-O", "coff", "-o", base + ".o"}) ||
            !run("gcc", {"-s", "-o", base + ".exe", "main.c", base + ".o"}))
            return {};
        return fileBytes(m_dir.filePath(base + ".exe"));
    }
    static bool haveMingw() {
        return !QStandardPaths::findExecutable("x86_64-w64-mingw32-windres").isEmpty() &&
               !QStandardPaths::findExecutable("x86_64-w64-mingw32-gcc").isEmpty();
    }

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
        const QByteArray bytes = fixtureBytes(file);
        QVERIFY(!bytes.isEmpty());
        const PeResources pe(bytes);
        QCOMPARE(pe.magic(), magic);
        QCOMPARE(readVersionText(bytes, "CompanyName"), company);
        QCOMPARE(readVersionText(bytes, "productname"), product);
        QCOMPARE(readVersionText(bytes, "NoSuchName"), QString());
        QCOMPARE(pe.firstName(kResourceGroupIcon)->id, groupId);
        // Every fixture carries the same icon file, so the rebuilt group must be it, byte for byte.
        QCOMPARE(rebuildFirstIconGroup(pe), fixtureBytes("app.ico"));
    }

    // Without an image of the asked size the next larger one is scaled down, not the largest.
    void bestIconImageScalesTheNextLarger() {
        const QByteArray ico = fixtureBytes("app.ico"); // 16, 32, 48 and a 256 px PNG
        QCOMPARE(bestIconImage(ico, 64).size(), QSize(64, 64));
        const QImage img32(fixture("img32.png")), img48(fixture("img48.png"));
        QVERIFY(scaledFrom(bestIconImage(ico, 24), img32));
        QVERIFY(!scaledFrom(bestIconImage(ico, 24), img48));
    }

    // Wine's icons hold 32, 8 and 4 bpp images of each size, the 4 bpp one last.
    void bestDepthPerSize() {
        const QString iexplore = winePe("iexplore.exe");
        if (!QFileInfo::exists(iexplore))
            QSKIP("Wine's iexplore.exe is not installed (package libwine)");
        QCOMPARE(readIconImage(fileBytes(iexplore), 16).pixmap(16).toImage().pixel(8, 8), 0xff5b9f92u);
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
        const QByteArray listing = runTool("wrestool", {"-l", path});
        if (listing.isNull())
            QSKIP("wrestool (icoutils) is not installed");
        const QByteArray bytes = fileBytes(path);
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

        const QByteArray version = runTool("wrestool", {"-x", "-t16", "--raw", path});
        QCOMPARE(readVersionBlock(bytes), version.isEmpty() ? QByteArray() : version);

        // wrestool appends a copy of the group data to the .ico it writes.
        const QByteArray ours_ico = rebuildFirstIconGroup(pe);
        const auto group = pe.firstName(kResourceGroupIcon);
        QCOMPARE(ours_ico.isEmpty(), !group.has_value());
        if (group) {
            const QByteArray theirs_ico =
                runTool("wrestool", {"-x", "-t14", "-n", QString::number(group->id), path});
            QVERIFY(theirs_ico.size() > ours_ico.size());
            QVERIFY(theirs_ico.startsWith(ours_ico));
        }
    }

    // A damaged part of the resources costs only that part.
    void damagedResourcesKeepWhatIsReadable() {
        const QByteArray good = fixtureBytes("app_x86_64.exe");
        // readpe -S: the .rsrc section (VA 0xB000, holding the resource root) starts at 0x3800.
        constexpr qsizetype root = 0x3800;
        QCOMPARE(qFromLittleEndian<quint16>(good.constData() + root + 14), 3); // types 3, 14, 16

        // The icon type's subdirectory is the root itself; the other types must still be read.
        const QByteArray selfLoop = patched<quint32>(good, root + 16 + 4, 0x80000000u);
        QCOMPARE(readVersionText(selfLoop, "CompanyName"), "Example Tools Ltd.");
        QVERIFY(rebuildFirstIconGroup(PeResources(selfLoop)).isEmpty()); // no RT_ICON left

        // The 16 px entry names an icon that does not exist: skipped, and 16 px is scaled from 32.
        qsizetype group = 0;
        const PeResources pe(good);
        for (const PeResource& r : pe.resources())
            if (r.type.is(kResourceGroupIcon) && group == 0)
                group = static_cast<qsizetype>(r.fileOffset);
        QVERIFY(group > 0);
        const QByteArray ico = rebuildFirstIconGroup(PeResources(patched<quint16>(good, group + 6 + 12, 99)));
        QCOMPARE(qFromLittleEndian<quint16>(ico.constData() + 4), 3);
        QVERIFY(scaledFrom(bestIconImage(ico, 16), QImage(fixture("img32.png"))));
    }

    void fileInformationMapsPathsAndPicksIconSizes() {
        const auto toHost = [](const QString& path) {
            return path.compare("C:\\Tools\\multi.dll", Qt::CaseInsensitive) == 0
                       ? fixture("multi_x86_64.dll")
                       : QString();
        };
        const PeFileInformation info(toHost);
        const PeFileIcons icons(toHost);
        QCOMPARE(info.getFileVersionText("c:\\tools\\MULTI.dll", "CompanyName"),
                 QStringLiteral("Müller GmbH"));
        QVERIFY(icons.getFileIcon("C:\\Other.exe", kSmallIcon).isNull());
        // Large and small icons are the group's own images of those sizes (every fixture has app.ico).
        const QIcon large = icons.getFileIcon("C:\\Tools\\multi.dll", kLargeIcon);
        QCOMPARE(large.availableSizes().value(0), QSize(32, 32));
        QCOMPARE(large.pixmap(32).toImage().pixel(16, 16), 0xff0000ffu);
        const QIcon small = icons.getFileIcon("C:\\Tools\\multi.dll", kSmallIcon);
        QCOMPARE(small.availableSizes().value(0), QSize(16, 16));
        QCOMPARE(small.pixmap(16).toImage().pixel(8, 8), 0xffff0000u);
    }

    // Not PE: no version texts, but still the desktop's (or a generic) icon for the type.
    void fileInformationOfOtherFiles() {
        const PeFileInformation info([](const QString& path) { return path; });
        const PeFileIcons icons([](const QString& path) { return path; });
        QTemporaryDir dir;
        QVERIFY(icons.getFileIcon(dir.path(), kSmallIcon).isNull()); // a folder is not a file
        QFile empty(dir.filePath("empty.exe"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        for (const QString& file : {fixture("app.rc"), empty.fileName()}) {
            QCOMPARE(info.getFileVersionText(file, "CompanyName"), QString());
            QVERIFY(!icons.getFileIcon(file, kLargeIcon).isNull());
        }
        // A program without an icon group gets the type's icon.
        const QString explorer = winePe("explorer.exe");
        if (QFileInfo::exists(explorer))
            QVERIFY(!icons.getFileIcon(explorer, kSmallIcon).isNull());
    }

    void translationPicksTable_data() {
        QTest::addColumn<QByteArray>("translation");
        QTest::addColumn<QString>("company");
        QTest::newRow("first pair, second table")
            << QByteArray("0x407, 0x4E4, 0x409, 1200") << "Zweite Tabelle";
        QTest::newRow("first pair without a table") << QByteArray("0x40C, 1252, 0x409, 1200") << "";
        QTest::newRow("lower-case table name") << QByteArray("0x409, 1200") << "First Table";
        QTest::newRow("language from 0x8000") << QByteArray("0x8001, 0x4E4") << "High Language";
    }

    void translationPicksTable() {
        QFETCH(QByteArray, translation);
        QFETCH(QString, company);
        if (!haveMingw())
            QSKIP("mingw-w64 (x86_64-w64-mingw32-windres and -gcc) is not installed");
        const QString longValue(300, u'x');
        const QByteArray exe =
            build("1 VERSIONINFO\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n"
                  "  BLOCK \"040904b0\"\n  BEGIN\n   VALUE \"CompanyName\", \"First Table\"\n  END\n"
                  "  BLOCK \"040704E4\"\n  BEGIN\n   VALUE \"CompanyName\", \"Zweite Tabelle\"\n"
                  "   VALUE \"Comments\", \"" +
                  longValue.toLatin1() +
                  "\"\n  END\n"
                  "  BLOCK \"800104E4\"\n  BEGIN\n   VALUE \"CompanyName\", \"High Language\"\n  END\n"
                  " END\n BLOCK \"VarFileInfo\"\n BEGIN\n  VALUE \"Translation\", " +
                  translation + "\n END\nEND\n");
        QVERIFY(!exe.isEmpty());
        QCOMPARE(readVersionText(exe, "CompanyName"), company);
        if (translation.startsWith("0x407")) // values are not cut at a fixed length
            QCOMPARE(readVersionText(exe, "Comments"), longValue);
    }

    void namedGroupComesFirst() {
        if (!haveMingw())
            QSKIP("mingw-w64 (x86_64-w64-mingw32-windres and -gcc) is not installed");
        const QString icons = m_dir.filePath("big.ico");
        if (runTool("icotool", {"-c", "-o", icons, fixture("img48.png")}).isNull())
            QSKIP("icotool (icoutils) is not installed");
        // Named entries precede IDs in the directory, whatever the script's order.
        const QByteArray exe =
            build("1 ICON \"" + fixture("app.ico").toUtf8() + "\"\nZMAIN ICON \"" + icons.toUtf8() + "\"\n");
        QVERIFY(!exe.isEmpty());
        const PeResources pe(exe);
        QCOMPARE(pe.firstName(kResourceGroupIcon)->text, "ZMAIN");
        QByteArray ico = rebuildFirstIconGroup(pe);
        QCOMPARE(ico, fileBytes(icons));
        QCOMPARE(readIconImage(exe, 32).pixmap(32).size(), QSize(32, 32)); // scaled down from 48
        QCOMPARE(readVersionText(exe, "CompanyName"), QString());          // no version resource
    }
};

QTEST_MAIN(PeTest)
#include "pe_test.moc"
