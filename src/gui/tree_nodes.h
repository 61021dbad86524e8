#pragma once

class QTreeWidgetItem;

namespace sw {

// Expands or collapses the node and every node below it.
void expandAllNodes(QTreeWidgetItem* node, bool expanded);

} // namespace sw
