#pragma once

#include <QTableView>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "library/node_model.h"

namespace pelmar::ui {

class CLeftView;
class CoverCache;
class ItemListModel;
class PhotoRowDelegate;

// The item list: the rows of the node selected in the tree, with columns by the node's kind,
// texts made when first drawn, and one fixed order per fill. Lists of albums draw each album's
// cover in its row.
class CRightView : public QTableView {
    Q_OBJECT

  public:
    CRightView(NodeSource& source, QWidget* parent = nullptr);
    ~CRightView() override;

    // Shows the rows of the tree's selected node.
    void refill(CLeftView& tree);
    // Shows nothing and frees the rows it built.
    void clearList();
    // Forgets the covers decoded so far; for a library about to be emptied or replaced.
    void forgetCovers();

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
    [[nodiscard]] CoverCache& covers() const { return *covers_; }
    // Whether a cover beside the list belongs with what the list shows: tracks or albums of a
    // player that holds artwork.
    [[nodiscard]] bool showsCoverPanel() const;
    // The cover for beside the list: that of the first selected row, or with none selected,
    // that of the album the list shows.
    [[nodiscard]] std::optional<std::uint32_t> shownCover() const;

  signals:
    void statusTextChanged(const QString& text);
    void treeItemRequested(std::uintptr_t item);
    void backupSelectedRequested();
    void activated();
    // What shownCover or showsCoverPanel give may have changed.
    void shownCoverChanged();

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
    [[nodiscard]] int firstSelectedIndex() const;
    [[nodiscard]] const NodeData* firstSelectedRow() const;
    [[nodiscard]] std::size_t selectedRowCount() const;

    NodeSource& source_;
    CoverCache* covers_;
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
