#include "tree_nodes.h"

#include "art.h"
#include "entries/places.h"
#include "platform/language_texts.h"

#include <QHash>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace sw {

void buildCategoryNodes(QTreeWidget* tree, const LanguageTexts& texts, const QString& leftOut) {
    QHash<QString, QTreeWidgetItem*> nodes;
    for (const Category& category : allCategories()) {
        if (category.key == leftOut)
            continue;
        QTreeWidgetItem* parent = nodes.value(category.parentKey);
        auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        node->setText(0, texts.getText(category.captionKey));
        node->setIcon(0, artIcon(category.imageKey));
        node->setData(0, kCategoryKeyRole, category.key);
        nodes.insert(category.key, node);
    }
}

QTreeWidgetItem* findCategoryNode(const QTreeWidget* tree, const QString& key) {
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it)
        if ((*it)->data(0, kCategoryKeyRole).toString() == key)
            return *it;
    return nullptr;
}

void expandAllNodes(QTreeWidgetItem* node, bool expanded) {
    if (!node)
        return;
    node->setExpanded(expanded);
    for (int i = 0; i < node->childCount(); ++i)
        expandAllNodes(node->child(i), expanded);
}

} // namespace sw
