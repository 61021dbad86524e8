#include "tree_nodes.h"

#include <QTreeWidgetItem>

namespace sw {

void expandAllNodes(QTreeWidgetItem* node, bool expanded) {
    if (!node)
        return;
    node->setExpanded(expanded);
    for (int i = 0; i < node->childCount(); ++i)
        expandAllNodes(node->child(i), expanded);
}

} // namespace sw
