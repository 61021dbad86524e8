#include "pe_test_files.h"
#include "platform/wine/pe_file_icons.h"
#include "platform/wine/pe_file_information.h"
#include "temp_prefix.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace sw;
using sw::test::fixture;

class PeFileInformationTest : public QObject {
    Q_OBJECT

private slots:
    void mapsManagedPathsAndPicksIconSizes() {
        const auto toHost = [](const QString& path) {
            return path.compare(QStringLiteral("C:\\Tools\\multi.dll"), Qt::CaseInsensitive) == 0
                       ? fixture(QStringLiteral("multi_x86_64.dll"))
                       : QString();
        };
        const PeFileInformation info(toHost);
        const PeFileIcons icons(toHost);
        QCOMPARE(
            info.GetFileVersionText(QStringLiteral("c:\\tools\\MULTI.dll"), QStringLiteral("CompanyName")),
            QStringLiteral("Müller GmbH"));
        QCOMPARE(info.GetFileVersionText(QStringLiteral("C:\\Other.exe"), QStringLiteral("CompanyName")),
                 QString());
        QVERIFY(icons.GetFileIcon(QStringLiteral("C:\\Other.exe"), kSmallIcon).isNull());
        // Large and small icons are the group's own images of those sizes (every fixture has app.ico).
        const QIcon large = icons.GetFileIcon(QStringLiteral("C:\\Tools\\multi.dll"), kLargeIcon);
        QCOMPARE(large.availableSizes().value(0), QSize(32, 32));
        QCOMPARE(large.pixmap(32).toImage().pixel(16, 16), 0xff0000ffu);
        const QIcon small = icons.GetFileIcon(QStringLiteral("C:\\Tools\\multi.dll"), kSmallIcon);
        QCOMPARE(small.availableSizes().value(0), QSize(16, 16));
        QCOMPARE(small.pixmap(16).toImage().pixel(8, 8), 0xffff0000u);
    }

    void otherFiles() {
        const PeFileInformation info([](const QString& path) { return path; });
        const PeFileIcons icons([](const QString& path) { return path; });
        // Not PE: no version texts, but still the desktop's (or a generic) icon for the type.
        const QString script = fixture(QStringLiteral("app.rc"));
        QCOMPARE(info.GetFileVersionText(script, QStringLiteral("CompanyName")), QString());
        QVERIFY(!icons.GetFileIcon(script, kLargeIcon).isNull());

        QTemporaryDir dir;
        QVERIFY(icons.GetFileIcon(dir.path(), kSmallIcon).isNull()); // a folder is not a file
        QFile empty(dir.filePath(QStringLiteral("empty.exe")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QCOMPARE(info.GetFileVersionText(empty.fileName(), QStringLiteral("CompanyName")), QString());
        QVERIFY(!icons.GetFileIcon(empty.fileName(), kSmallIcon).isNull());

        // A program without an icon group gets the type's icon.
        const QString explorer = sw::test::winePe(QStringLiteral("explorer.exe"));
        if (QFileInfo::exists(explorer))
            QVERIFY(!icons.GetFileIcon(explorer, kSmallIcon).isNull());
    }
};

QTEST_MAIN(PeFileInformationTest)
#include "pe_file_information_test.moc"
