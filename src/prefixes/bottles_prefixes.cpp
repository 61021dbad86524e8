// Bottles keeps each prefix as bottles/<folder>/ beside its bottle.yml, which holds its name.
#include "prefix_readers.h"
#include "yaml_config.h"

#include <QDir>

namespace sw {

void findBottlesPrefixes(PrefixCollector& found) {
    for (const char* home :
         {".local/share/bottles/bottles", ".var/app/com.usebottles.bottles/data/bottles/bottles"}) {
        const QDir bottles(found.homePath(QString::fromLatin1(home)));
        for (const QString& folder : bottles.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QString bottle = bottles.filePath(folder);
            const QString config = QDir(bottle).filePath(QStringLiteral("bottle.yml"));
            if (!QFileInfo::exists(config) || !found.wouldAdd(bottle))
                continue;
            // A bottle whose file cannot be read is still a prefix: it keeps its folder's name.
            const std::optional<YAML::Node> read = readYamlFile(config, found);
            const QString name = read ? yamlText(*read, {"Name"}).trimmed() : QString();
            found.add(bottle, name.isEmpty() ? folder : name, PrefixSource::Bottles);
        }
    }
}

} // namespace sw
