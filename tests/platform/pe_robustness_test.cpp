#include "pe_test_files.h"
#include "platform/wine/pe_icon.h"
#include "platform/wine/pe_resources.h"
#include "platform/wine/pe_version.h"
#include "temp_prefix.h"

#include <QTest>
#include <QtEndian>

using namespace sw;
using sw::test::fixture;
using sw::test::readAll;

namespace {

// readpe -S: app_x86_64.exe's .rsrc (VA 0xB000, holding the resource root) starts at file offset 0x3800.
constexpr qsizetype kRoot = 0x3800;
const QString kCompany = QStringLiteral("CompanyName");

// A copy of `bytes` with a little-endian number written at `at`.
QByteArray with16(QByteArray bytes, qsizetype at, quint16 value) {
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}
QByteArray with32(QByteArray bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
    return bytes;
}

qsizetype optionalHeader(const QByteArray& bytes) {
    return qFromLittleEndian<quint32>(bytes.constData() + 0x3C) + 24;
}

PeResource resource(const QByteArray& bytes, quint16 type) {
    const PeResources pe(bytes);
    for (const PeResource& r : pe.resources()) {
        if (r.type.is(type))
            return r;
    }
    return {};
}

// Everything a caller might ask for; the point is that it returns.
void exercise(const QByteArray& bytes) {
    const PeResources pe(bytes);
    readVersionText(bytes, kCompany);
    const QByteArray ico = rebuildFirstIconGroup(pe);
    bestIconImage(ico, 16);
}

} // namespace

class PeRobustnessTest : public QObject {
    Q_OBJECT

private slots:

    void truncatedFiles() {
        for (const char* name : {"app_x86_64.exe", "app_i686.exe", "multi_x86_64.dll"}) {
            const QByteArray full = readAll(fixture(QString::fromLatin1(name)));
            const QString company = readVersionText(full, kCompany);
            const QByteArray ico = rebuildFirstIconGroup(PeResources(full));
            for (qsizetype size = 0; size < full.size(); size += 64) {
                const QByteArray part = full.left(size);
                // Either the data is still all there, or the answer is "none": never a partial read.
                const QString text = readVersionText(part, kCompany);
                QVERIFY2(text.isEmpty() || text == company, name);
                const QByteArray partIco = rebuildFirstIconGroup(PeResources(part));
                QVERIFY2(partIco.isEmpty() || partIco.size() < ico.size() || partIco == ico, name);
                bestIconImage(partIco, 16);
            }
        }
    }

    void brokenHeaders() {
        const QByteArray good = readAll(fixture(QStringLiteral("app_x86_64.exe")));
        const qsizetype optional = optionalHeader(good);

        const QByteArray farPe = with32(good, 0x3C, 0xFFFFFFF0u);
        QVERIFY(!PeResources(farPe).isPe());

        const QByteArray noDirectories = with32(good, optional + 108, 0); // NumberOfRvaAndSizes
        QVERIFY(PeResources(noDirectories).isPe());
        QVERIFY(PeResources(noDirectories).resources().isEmpty());

        const QByteArray nowhere = with32(good, optional + 128, 0x7FFF0000u); // resource RVA in no section
        QVERIFY(PeResources(nowhere).resources().isEmpty());
    }

    void resourceTreeLoops() {
        const QByteArray good = readAll(fixture(QStringLiteral("app_x86_64.exe")));
        QCOMPARE(qFromLittleEndian<quint16>(good.constData() + kRoot + 14), 3); // types 3, 14, 16

        // The icon type's subdirectory is the root itself; the other types must still be read.
        const QByteArray selfLoop = with32(good, kRoot + 16 + 4, 0x80000000u);
        QCOMPARE(readVersionText(selfLoop, kCompany), QStringLiteral("Example Tools Ltd."));
        QVERIFY(rebuildFirstIconGroup(PeResources(selfLoop)).isEmpty()); // no RT_ICON left

        // All three types share the version type's name directory: each directory is read once.
        const quint32 versionNames = qFromLittleEndian<quint32>(good.constData() + kRoot + 16 + 2 * 8 + 4);
        const QByteArray shared =
            with32(with32(good, kRoot + 16 + 4, versionNames), kRoot + 16 + 8 + 4, versionNames);
        QCOMPARE(PeResources(shared).resources().size(), 1);

        // A leaf where a directory belongs, and entry counts far beyond the section.
        const QByteArray leafAtTop = with32(good, kRoot + 16 + 2 * 8 + 4, versionNames & 0x7FFFFFFFu);
        QVERIFY(readVersionText(leafAtTop, kCompany).isEmpty());
        exercise(with16(with16(good, kRoot + 12, 0xFFFF), kRoot + 14, 0xFFFF));
    }

    void brokenVersionNodes() {
        const QByteArray good = readAll(fixture(QStringLiteral("app_x86_64.exe")));
        const auto block = static_cast<qsizetype>(resource(good, kResourceVersion).fileOffset);
        QVERIFY(block > 0);

        // Offsets from the observed layout: CompanyName at 0x098, Translation at 0x1ec.
        // A value length beyond the node: read to the NUL.
        QCOMPARE(readVersionText(with16(good, block + 0x098 + 2, 0xFFFF), kCompany),
                 QStringLiteral("Example Tools Ltd."));
        // The node claims more than its parent holds; half a translation pair; no table 040704B0 (no
        // fallback to 040904B0).
        QVERIFY(readVersionText(with16(good, block + 0x098, 0xFFFF), kCompany).isEmpty());
        QVERIFY(readVersionText(with16(good, block + 0x1ec + 2, 2), kCompany).isEmpty());
        QVERIFY(readVersionText(with16(good, block + 0x20c, 0x0407), kCompany).isEmpty());

        // The version's data entry: RVA 0xF1D8, then its Size 528.
        const qsizetype sizeField = good.indexOf(QByteArray::fromHex("d8f1000010020000"), kRoot) + 4;
        QVERIFY(sizeField > kRoot && sizeField < block);
        QVERIFY(readVersionText(with32(good, sizeField, 0xFFFFFFF0u), kCompany).isEmpty());
    }

    void brokenIconGroups() {
        const QByteArray good = readAll(fixture(QStringLiteral("app_x86_64.exe")));
        const auto group = static_cast<qsizetype>(resource(good, kResourceGroupIcon).fileOffset);
        QVERIFY(group > 0);

        const QByteArray manyImages = with16(good, group + 4, 1000); // 1000 entries announced, 4 present
        QCOMPARE(rebuildFirstIconGroup(PeResources(manyImages)), readAll(fixture(QStringLiteral("app.ico"))));

        // The 16 px entry names an icon that does not exist: skipped, and 16 px is scaled from 32.
        const QByteArray missingImage = with16(good, group + 6 + 12, 99);
        const QByteArray ico = rebuildFirstIconGroup(PeResources(missingImage));
        QCOMPARE(qFromLittleEndian<quint16>(ico.constData() + 4), 3);
        const QImage img32(fixture(QStringLiteral("img32.png")));
        QVERIFY(sw::test::scaledFrom(bestIconImage(ico, 16), img32));

        // An image whose header claims an absurd size is not handed to a decoder.
        const QByteArray giant = with32(good, resource(good, kResourceIcon).fileOffset + 4, 0x7FFFFFFF);
        QVERIFY(sw::test::scaledFrom(bestIconImage(rebuildFirstIconGroup(PeResources(giant)), 16), img32));
    }
};

QTEST_MAIN(PeRobustnessTest)
#include "pe_robustness_test.moc"
