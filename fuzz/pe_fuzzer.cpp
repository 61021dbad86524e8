// Feeds arbitrary bytes to the PE resource reader: as a PE file, and (for inputs that are not one) as a
// bare version resource and a bare .ico file, so the inner parsers see mutations directly too.
#include "platform/wine/pe_icon.h"
#include "platform/wine/pe_resources.h"
#include "platform/wine/pe_version.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // QIcon needs a GUI application; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pe_fuzzer";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const sw::PeResources pe(bytes);
    if (pe.isPe()) {
        for (const sw::PeResource& resource : pe.resources())
            pe.data(resource);
        sw::readVersionText(bytes, QStringLiteral("CompanyName"));
        sw::readIconImage(bytes, 32);
    } else {
        if (const auto node = sw::queryVersionNode(bytes, u"\\StringFileInfo\\040904B0\\CompanyName"))
            sw::versionNodeText(bytes, *node);
        sw::bestIconImage(bytes, 16);
    }
    return 0;
}
