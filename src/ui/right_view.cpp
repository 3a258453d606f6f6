#include "ui/right_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include "library/album_covers.h"
#include "library/list_rows.h"
#include "library/player_library.h"
#include "ui/cover_cache.h"
#include "ui/item_list_model.h"
#include "ui/left_view.h"
#include "ui/node_icons.h"
#include "ui/photo_preview.h"
#include "ui/photo_row_delegate.h"

namespace pelmar::ui {

namespace {

// An album row holds its cover with a little room above and below.
constexpr int kCoverRowHeight = CoverCache::kRowSide + 4;

// Redrawing stops while many rows change at once and starts again however the change ends.
// Without a widget nothing is paused.
class RedrawPause {
  public:
    explicit RedrawPause(QWidget* widget) : widget_(widget) {
        if (widget_ != nullptr) {
            widget_->setUpdatesEnabled(false);
        }
    }
    ~RedrawPause() { resume(); }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

    void resume() {
        if (widget_ != nullptr) {
            widget_->setUpdatesEnabled(true);
            widget_ = nullptr;
        }
    }

  private:
    QWidget* widget_;
};

}  // namespace

CRightView::CRightView(NodeSource& source, QWidget* parent)
    : QTableView(parent),
      source_(source),
      covers_(new CoverCache(source.library, this)),
      model_(new ItemListModel(source.library, source.searchResults, *covers_, this)),
      cellDelegate_(itemDelegate()),
      photoDelegate_(new PhotoRowDelegate(source.library, *model_, this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setIconSize(QSize(NodeIcons::kSize, NodeIcons::kSize));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Rows are as high as the list says, even where the style would make them taller.
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(listRowHeight(nullptr));
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kViewBackground);
    // The selection stays visible when the list loses the focus.
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    setShowGrid(false);
    showColumns();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CRightView::updateStatusText);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CRightView::shownCoverChanged);
    // Covers come in a few at a time; one repaint of what is on screen draws those shown.
    connect(covers_, &CoverCache::coverReady, this, [this] {
        if (model_->withCovers()) {
            viewport()->update();
        }
    });
    // The preview shows the first selected photo, which the keyboard can change under it.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (previewMode_) {
            viewport()->update();
        }
    });
}

CRightView::~CRightView() = default;

const NodeData* CRightView::currentNode() const {
    return model_->current();
}

void CRightView::showColumns() {
    const auto columns = listColumns(model_->current());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        setColumnWidth(static_cast<int>(i), columns[i].width);
    }
}

void CRightView::clearList() {
    model_->show(nullptr, {});
    rows_.clear();
    emit shownCoverChanged();
}

void CRightView::forgetCovers() {
    covers_->forget();
}

bool CRightView::showsCoverPanel() const {
    const NodeData* current = model_->current();
    return current != nullptr && source_.library.artwork.imageCount() > 0 &&
           (current->kind == NK_TRACKS || current->kind == NK_PLAYLIST || listsAlbums(*current));
}

std::optional<std::uint32_t> CRightView::shownCover() const {
    const int selected = firstSelectedIndex();
    if (selected >= 0) {
        return model_->coverImageAt(selected);
    }
    const NodeData* current = model_->current();
    return current != nullptr ? coverImageOf(source_.library, *current) : std::nullopt;
}

void CRightView::refill(CLeftView& tree) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    previewMode_ = false;
    clearList();
    NodeData* current = tree.selectedNode();
    if (current == nullptr) {
        updateStatusText();
        return;
    }
    const bool photoAlbum = current->kind == NK_PHOTO_ALBUM;
    RedrawPause pause(photoAlbum ? nullptr : this);
    ownerDrawn_ = photoAlbum;
    setItemDelegate(ownerDrawn_ ? static_cast<QAbstractItemDelegate*>(photoDelegate_)
                                : cellDelegate_);
    const bool withCovers = listsAlbums(*current) && source_.library.artwork.imageCount() > 0;
    verticalHeader()->setDefaultSectionSize(withCovers ? kCoverRowHeight
                                                       : listRowHeight(current));
    setIconSize(withCovers ? QSize(CoverCache::kRowSide, CoverCache::kRowSide)
                           : QSize(NodeIcons::kSize, NodeIcons::kSize));
    setShowGrid(current->kind != NK_FOLDER && current->kind != NK_PHOTO_ALBUM &&
                current->kind != NK_DEVICE_INFO);

    std::vector<NodeData*> shown;
    if (current->kind == NK_FOLDER) {
        shown = tree.selectedChildren();
    } else {
        BuildChildNodes(source_, current, rows_);
        shown.reserve(rows_.size());
        for (const auto& row : rows_) {
            shown.push_back(row.get());
        }
    }
    orderListRows(source_.library, *current, shown);
    model_->show(current, std::move(shown), withCovers);
    showColumns();
    pause.resume();
    updateStatusText();
    emit shownCoverChanged();
}

std::size_t CRightView::selectedRowCount() const {
    std::size_t count = 0;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        count += static_cast<std::size_t>(range.height());
    }
    return count;
}

void CRightView::updateStatusText() {
    emit statusTextChanged(QString::fromStdString(
        listStatusText(selectedRowCount(), static_cast<std::size_t>(model_->rowCount()))));
}

std::vector<const NodeData*> CRightView::selectedRows() const {
    QModelIndexList indexes = selectionModel()->selectedRows();
    std::sort(indexes.begin(), indexes.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<const NodeData*> rows;
    rows.reserve(static_cast<std::size_t>(indexes.size()));
    for (const QModelIndex& index : indexes) {
        rows.push_back(model_->rowAt(index.row()));
    }
    return rows;
}

int CRightView::firstSelectedIndex() const {
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first) {
            first = range.top();
        }
    }
    return first;
}

const NodeData* CRightView::firstSelectedRow() const {
    return model_->rowAt(firstSelectedIndex());
}

void CRightView::selectAllRows() {
    {
        const RedrawPause pause(this);
        selectAll();
    }
    updateStatusText();
}

void CRightView::invertSelection() {
    if (model_->rowCount() > 0) {
        const RedrawPause pause(this);
        const QItemSelection all(model_->index(0, 0),
                                 model_->index(model_->rowCount() - 1, model_->columnCount() - 1));
        selectionModel()->select(all, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    }
    updateStatusText();
}

void CRightView::enterPreview() {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    previewMode_ = true;
    viewport()->repaint();
}

void CRightView::leavePreview() {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    previewMode_ = false;
    viewport()->repaint();
}

void CRightView::previewPhoto() {
    const NodeData* row = firstSelectedRow();
    if (row != nullptr && row->treeItem == 0 && row->kind == NK_PHOTO) {
        enterPreview();
    }
    updateStatusText();
}

void CRightView::paintEvent(QPaintEvent* event) {
    if (!previewMode_) {
        QTableView::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    painter.drawPixmap(0, 0,
                       drawPhotoPreview(*this, viewport()->size(), source_.library,
                                        firstSelectedRow(), model_->rowCount()));
}

void CRightView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    // Scrolling shifts the pixels on screen, but the preview stays where it is.
    if (previewMode_) {
        viewport()->update();
    }
}

void CRightView::mousePressEvent(QMouseEvent* event) {
    if (!previewMode_) {
        QTableView::mousePressEvent(event);
        return;
    }
    // The click that ends the preview does nothing else: above all it must not select the row
    // hidden under the pointer. A right click ends it in the context menu event that follows.
    releaseEndsPreviewClick_ = true;
    if (event->button() == Qt::LeftButton) {
        leavePreview();
    }
    event->accept();
}

void CRightView::mouseReleaseEvent(QMouseEvent* event) {
    // Leaving on the press rather than here keeps the release that ends a double-click from
    // closing the preview that the double-click has just opened.
    if (releaseEndsPreviewClick_) {
        releaseEndsPreviewClick_ = false;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
    updateStatusText();
}

void CRightView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    const NodeData* row = firstSelectedRow();
    if (row != nullptr) {
        if (row->treeItem != 0) {
            emit treeItemRequested(row->treeItem);
        } else if (row->kind == NK_PHOTO) {
            enterPreview();
        }
    }
    updateStatusText();
}

void CRightView::contextMenuEvent(QContextMenuEvent* event) {
    if (previewMode_) {
        leavePreview();
        return;
    }
    updateStatusText();
    QMenu menu(this);
    menu.addAction(QStringLiteral("Backup Selected Item(s)..."), this,
                   &CRightView::backupSelectedRequested);
    const NodeData* current = currentNode();
    if (current != nullptr && current->kind == NK_PHOTO_ALBUM) {
        menu.addAction(QStringLiteral("Preview Photo"), this, &CRightView::previewPhoto);
    }
    menu.exec(event->globalPos());
}

void CRightView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit activated();
}

}  // namespace pelmar::ui
