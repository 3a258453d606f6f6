#include "ui/left_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <deque>

#include "library/player_library.h"
#include "ui/node_icons.h"

namespace pelmar::ui {

namespace {

constexpr int kPayloadRole = Qt::UserRole;

NodeData* payloadOf(const QTreeWidgetItem* item) {
    return item == nullptr ? nullptr
                           : static_cast<NodeData*>(item->data(0, kPayloadRole).value<void*>());
}

bool isRoot(const NodeData* node) {
    return node != nullptr && node->kind == NK_FOLDER && node->subkind == folder_subkind::kRoot;
}

}  // namespace

CLeftView::CLeftView(NodeSource& source, QWidget* parent) : QTreeWidget(parent), source_(source) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setIconSize(QSize(NodeIcons::kSize, NodeIcons::kSize));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kViewBackground);
    setPalette(colours);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CLeftView::selectedNodeChanged);
    connect(this, &QTreeWidget::itemCollapsed, this, &CLeftView::keepRootExpanded);
}

std::uintptr_t CLeftView::handleOf(QTreeWidgetItem* item) {
    return reinterpret_cast<std::uintptr_t>(item);
}

QTreeWidgetItem* CLeftView::makeItem(std::unique_ptr<NodeData> node) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(source_.library.codec().toUtf8(node->name)));
    item->setIcon(0, NodeIcons::icon(node->image));
    item->setData(0, kPayloadRole, QVariant::fromValue(static_cast<void*>(node.get())));
    owned_.push_back(std::move(node));
    return item;
}

void CLeftView::fillTree() {
    clearTree();
    std::vector<std::unique_ptr<NodeData>> built;
    BuildChildNodes(source_, nullptr, built);
    if (built.empty()) {
        return;
    }
    // Children go in a whole family at a time, with painting held: the view then lays itself out
    // once per folder rather than once per item, which matters at 100,000 items.
    setUpdatesEnabled(false);
    QTreeWidgetItem* root = makeItem(std::move(built.front()));
    addTopLevelItem(root);
    std::deque<QTreeWidgetItem*> queue{root};
    while (!queue.empty()) {
        QTreeWidgetItem* item = queue.front();
        queue.pop_front();
        const NodeData* node = payloadOf(item);
        if (node->kind != NK_FOLDER) {
            continue;
        }
        built.clear();
        BuildChildNodes(source_, node, built);
        QList<QTreeWidgetItem*> family;
        family.reserve(static_cast<qsizetype>(built.size()));
        for (auto& child : built) {
            const bool isSearchResults =
                child->kind == NK_TRACKS && child->subkind == tracks_subkind::kSearchResults;
            QTreeWidgetItem* childItem = makeItem(std::move(child));
            if (isSearchResults) {
                searchResultNode_ = childItem;
            }
            family.push_back(childItem);
            queue.push_back(childItem);
        }
        item->addChildren(family);
    }
    setUpdatesEnabled(true);
    setCurrentItem(root);
    root->setExpanded(true);
}

void CLeftView::clearTree() {
    searchResultNode_ = nullptr;
    {
        const QSignalBlocker quiet(this);
        clear();
    }
    owned_.clear();
}

NodeData* CLeftView::selectedNode() const {
    return payloadOf(currentItem());
}

std::vector<NodeData*> CLeftView::selectedChildren() {
    std::vector<NodeData*> children;
    QTreeWidgetItem* item = currentItem();
    if (item == nullptr) {
        return children;
    }
    children.reserve(static_cast<std::size_t>(item->childCount()));
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        NodeData* node = payloadOf(child);
        node->treeItem = handleOf(child);
        children.push_back(node);
    }
    return children;
}

QString CLeftView::selectedPath() const {
    QTreeWidgetItem* item = currentItem();
    if (item == nullptr) {
        return {};
    }
    QString path = item->text(0);
    for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent()) {
        path = up->text(0) + QLatin1Char('\\') + path;
    }
    return path;
}

void CLeftView::selectSearchResultsNode() {
    if (searchResultNode_ != nullptr) {
        setCurrentItem(searchResultNode_);
    }
}

void CLeftView::selectTreeItem(std::uintptr_t item) {
    setCurrentItem(reinterpret_cast<QTreeWidgetItem*>(item));
}

void CLeftView::up() {
    QTreeWidgetItem* item = currentItem();
    if (item != nullptr && item->parent() != nullptr) {
        setCurrentItem(item->parent());
    }
}

void CLeftView::keepRootExpanded(QTreeWidgetItem* item) {
    if (isRoot(payloadOf(item))) {
        item->setExpanded(true);
    }
}

void CLeftView::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item = itemAt(event->pos());
    if (item == nullptr) {
        return;
    }
    setCurrentItem(item);
    QMenu menu(this);
    menu.addAction(QStringLiteral("Backup Selected Item(s)..."), this,
                   &CLeftView::backupSelectedRequested);
    menu.exec(event->globalPos());
}

void CLeftView::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    emit activated();
}

}  // namespace pelmar::ui
