#pragma once

#include <QTreeWidget>
#include <memory>
#include <vector>

#include "library/node_model.h"

namespace pelmar::ui {

// The category tree: every folder node of the connected player, built breadth-first at connect
// time, with the tracks, photos and properties left to the list.
class CLeftView : public QTreeWidget {
    Q_OBJECT

  public:
    explicit CLeftView(NodeSource& source, QWidget* parent = nullptr);

    // Builds every folder node, then selects and expands the root.
    void fillTree();
    void clearTree();

    // The payload of the selected item, or null.
    [[nodiscard]] NodeData* selectedNode() const;
    // The payloads of the selected item's children in order, each told its tree item.
    [[nodiscard]] std::vector<NodeData*> selectedChildren();
    // The labels from the root down to the selected item, joined by "\".
    [[nodiscard]] QString selectedPath() const;

    void selectSearchResultsNode();
    void selectTreeItem(std::uintptr_t item);
    void up();

    [[nodiscard]] static std::uintptr_t handleOf(QTreeWidgetItem* item);

  signals:
    void selectedNodeChanged();
    void backupSelectedRequested();
    void activated();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    // A detached item showing `node`, which the tree now owns.
    QTreeWidgetItem* makeItem(std::unique_ptr<NodeData> node);
    void keepRootExpanded(QTreeWidgetItem* item);

    NodeSource& source_;
    std::vector<std::unique_ptr<NodeData>> owned_;
    QTreeWidgetItem* searchResultNode_ = nullptr;
};

}  // namespace pelmar::ui
