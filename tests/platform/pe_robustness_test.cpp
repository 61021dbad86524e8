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

PeResource resource(const QByteArray& bytes, quint16 type) {
    const PeResources pe(bytes);
    for (const PeResource& r : pe.resources()) {
        if (r.type.is(type))
            return r;
    }
    return {};
}

} // namespace

class PeRobustnessTest : public QObject {
    Q_OBJECT

private slots:
    // A damaged part of the resources costs only that part.
    void damagedResourcesKeepWhatIsReadable() {
        const QByteArray good = readAll(fixture(QStringLiteral("app_x86_64.exe")));
        QCOMPARE(qFromLittleEndian<quint16>(good.constData() + kRoot + 14), 3); // types 3, 14, 16

        // The icon type's subdirectory is the root itself; the other types must still be read.
        const QByteArray selfLoop = with32(good, kRoot + 16 + 4, 0x80000000u);
        QCOMPARE(readVersionText(selfLoop, kCompany), QStringLiteral("Example Tools Ltd."));
        QVERIFY(rebuildFirstIconGroup(PeResources(selfLoop)).isEmpty()); // no RT_ICON left

        // The 16 px entry names an icon that does not exist: skipped, and 16 px is scaled from 32.
        const auto group = static_cast<qsizetype>(resource(good, kResourceGroupIcon).fileOffset);
        QVERIFY(group > 0);
        const QByteArray ico = rebuildFirstIconGroup(PeResources(with16(good, group + 6 + 12, 99)));
        QCOMPARE(qFromLittleEndian<quint16>(ico.constData() + 4), 3);
        QVERIFY(sw::test::scaledFrom(bestIconImage(ico, 16), QImage(fixture(QStringLiteral("img32.png")))));
    }
};

QTEST_MAIN(PeRobustnessTest)
#include "pe_robustness_test.moc"
