#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace pelmar::test {

// The item reached from the tree's first top-level item through the children with these labels,
// or null when one is missing.
inline QTreeWidgetItem* treeItemAt(const QTreeWidget& tree, const QStringList& labels) {
    QTreeWidgetItem* item = tree.topLevelItem(0);
    for (const QString& label : labels) {
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; item != nullptr && i < item->childCount() && found == nullptr; ++i) {
            if (item->child(i)->text(0) == label) {
                found = item->child(i);
            }
        }
        item = found;
    }
    return item;
}

}  // namespace pelmar::test
