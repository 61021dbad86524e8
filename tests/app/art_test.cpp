#include "app/art.h"

#include <QDirIterator>
#include <QImage>
#include <QTest>

using namespace sw;

class ArtTest : public QObject {
    Q_OBJECT

private slots:
    void everyKeyDraws() {
        const QStringList keys = artKeys();
        QCOMPARE(keys.size(), 25);
        for (const QString& key : keys) {
            const QIcon icon = artIcon(key);
            QVERIFY2(!icon.isNull() && !icon.pixmap(16).isNull(), qPrintable(key));
            const QImage image = artPixmap(key, QSize(32, 32)).toImage();
            QVERIFY2(!image.isNull(), qPrintable(key));
            // Something is painted, not just a transparent square.
            bool painted = false;
            for (int y = 0; y < image.height() && !painted; ++y)
                for (int x = 0; x < image.width() && !painted; ++x)
                    painted = qAlpha(image.pixel(x, y)) > 0;
            QVERIFY2(painted, qPrintable(key));
        }
    }

    void keysAreExactAndCaseSensitive() {
        for (const char* key : {"all users", "local user", "AA", "unknow", "UNKNOW", "NORMAL", "RISK"})
            QVERIFY2(!artPath(QLatin1String(key)).isEmpty(), key);
        QVERIFY(artPath(QStringLiteral("unknow")) != artPath(QStringLiteral("UNKNOW")));
        QVERIFY(artIcon(QStringLiteral("all_users")).isNull());
        QVERIFY(artPixmap(QStringLiteral("normal"), QSize(24, 82)).isNull());
        QCOMPARE(artPixmap(QStringLiteral("NORMAL"), QSize(24, 82)).size(), QSize(24, 82));
    }

    // A drawing added to the folder but not to a key would never be seen.
    void everyDrawingHasAKey() {
        QSet<QString> used;
        for (const QString& key : artKeys())
            used.insert(artPath(key).mid(QStringLiteral(":/art/").size()));
        const QString root = QStringLiteral(SW_SOURCE_DIR "/data/art/");
        QDirIterator it(root, {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next().mid(root.size());
            QVERIFY2(used.contains(file), qPrintable(file));
        }
    }
};

QTEST_MAIN(ArtTest)
#include "art_test.moc"
