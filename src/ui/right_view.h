#pragma once

#include <QTableView>
#include <cstdint>
#include <memory>
#include <vector>

#include "library/node_model.h"

namespace pelmar::ui {

class CLeftView;
class ItemListModel;
class PhotoRowDelegate;

// The item list: the rows of the node selected in the tree, with columns by the node's kind,
// texts made when first drawn, and one fixed order per fill.
class CRightView : public QTableView {
    Q_OBJECT

  public:
    CRightView(NodeSource& source, QWidget* parent = nullptr);
    ~CRightView() override;

    // Shows the rows of the tree's selected node.
    void refill(CLeftView& tree);
    // Shows nothing and frees the rows it built.
    void clearList();

    void selectAllRows();
    void invertSelection();
    void previewPhoto();

    // The selected rows in list order.
    [[nodiscard]] std::vector<const NodeData*> selectedRows() const;
    [[nodiscard]] const NodeData* currentNode() const;
    [[nodiscard]] bool previewMode() const { return previewMode_; }
    // Whether rows are drawn as photo cards rather than as cells.
    [[nodiscard]] bool ownerDrawn() const { return ownerDrawn_; }
    [[nodiscard]] ItemListModel& listModel() const { return *model_; }

  signals:
    void statusTextChanged(const QString& text);
    void treeItemRequested(std::uintptr_t item);
    void backupSelectedRequested();
    void activated();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    void showColumns();
    void updateStatusText();
    void enterPreview();
    void leavePreview();
    [[nodiscard]] const NodeData* firstSelectedRow() const;
    [[nodiscard]] std::size_t selectedRowCount() const;

    NodeSource& source_;
    ItemListModel* model_;
    std::vector<std::unique_ptr<NodeData>> rows_;
    QAbstractItemDelegate* cellDelegate_;
    PhotoRowDelegate* photoDelegate_;
    bool previewMode_ = false;
    // Set by a press that ended the preview, so that its release does nothing more.
    bool releaseEndsPreviewClick_ = false;
    bool ownerDrawn_ = false;
};

}  // namespace pelmar::ui
