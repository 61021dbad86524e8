#pragma once

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace sw {

class LanguageTexts;

// The role in which a node of a category tree keeps its category's key.
inline constexpr int kCategoryKeyRole = Qt::UserRole;

// Fills tree with a node for every category under its parent's node, captioned and pictured in the
// user's language. The category leftOut gets no node; its children go to the top.
void buildCategoryNodes(QTreeWidget* tree, const LanguageTexts& texts, const QString& leftOut = {});

// The node of a category key, or nullptr.
QTreeWidgetItem* findCategoryNode(const QTreeWidget* tree, const QString& key);

// Expands or collapses the node and every node below it.
void expandAllNodes(QTreeWidgetItem* node, bool expanded);

} // namespace sw
