#include "yaml_config.h"

#include "config_file.h"

namespace sw {

std::optional<YAML::Node> readYamlFile(const QString& path, PrefixCollector& found) {
    const std::optional<QByteArray> bytes = readConfigFile(path, found.notes());
    if (!bytes)
        return std::nullopt;
    try {
        return YAML::Load(bytes->toStdString());
    } catch (const std::exception& error) {
        found.note(path, QStringLiteral("not readable as YAML (%1)").arg(QString::fromUtf8(error.what())));
    }
    return std::nullopt;
}

namespace {
// Walks const nodes only: assigning a yaml-cpp node would rebind the tree it points into.
QString textAt(const YAML::Node& node, const char* const* key, const char* const* end) {
    if (key == end)
        return node.IsScalar() ? QString::fromStdString(node.Scalar()) : QString();
    if (!node.IsMap())
        return {};
    const YAML::Node child = node[*key];
    return child ? textAt(child, key + 1, end) : QString();
}
} // namespace

QString yamlText(const YAML::Node& root, std::initializer_list<const char*> keys) {
    try {
        return textAt(root, keys.begin(), keys.end());
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace sw
