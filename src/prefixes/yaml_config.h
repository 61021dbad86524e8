#pragma once

#include "prefix_collector.h"

#include <QString>
#include <optional>
#include <yaml-cpp/yaml.h>

namespace sw {

// The YAML file at path, or nothing (with a note when it is there but broken: bad YAML, nested too
// deeply, too large).
std::optional<YAML::Node> readYamlFile(const QString& path, PrefixCollector& found);

// The text at keys[0][keys[1]]... of a mapping, or the empty text when any step is missing or no
// text. Never throws.
QString yamlText(const YAML::Node& root, std::initializer_list<const char*> keys);

} // namespace sw
