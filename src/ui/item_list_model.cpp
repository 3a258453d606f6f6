#include "ui/item_list_model.h"

#include <QBrush>
#include <QColor>

#include "library/album_covers.h"
#include "ui/cover_cache.h"
#include "ui/cover_pictures.h"
#include "ui/node_icons.h"

namespace pelmar::ui {

namespace {

const QColor kShadedRow{230, 230, 255};

}  // namespace

ItemListModel::ItemListModel(const PlayerLibrary& library,
                             const std::vector<std::uint32_t>& searchResults,
                             CoverCache& covers, QObject* parent)
    : QAbstractTableModel(parent),
      library_(library),
      searchResults_(searchResults),
      covers_(covers),
      columns_(listColumns(nullptr)) {}

void ItemListModel::show(const NodeData* current, std::vector<NodeData*> rows, bool withCovers) {
    beginResetModel();
    current_ = current;
    withCovers_ = withCovers;
    columns_ = listColumns(current);
    rows_ = std::move(rows);
    texts_.assign(rows_.size(), {});
    coverImages_.assign(withCovers ? rows_.size() : 0, std::nullopt);
    endResetModel();
}

NodeData* ItemListModel::rowAt(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size()
               ? rows_[static_cast<std::size_t>(row)]
               : nullptr;
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ItemListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

const QStringList& ItemListModel::textsOf(int row) const {
    const auto at = static_cast<std::size_t>(row);
    if (texts_[at].isEmpty()) {
        QStringList texts;
        for (const std::string& text :
             listRowTexts(library_, searchResults_.size(), *current_, *rows_[at])) {
            texts.push_back(QString::fromStdString(text));
        }
        texts_[at] = std::move(texts);
    }
    return texts_[at];
}

std::optional<std::uint32_t> ItemListModel::coverImageAt(int row) const {
    const NodeData* node = rowAt(row);
    if (node == nullptr) {
        return std::nullopt;
    }
    if (!withCovers_) {
        return coverImageOf(library_, *node);
    }
    auto& known = coverImages_[static_cast<std::size_t>(row)];
    if (!known) {
        known = coverImageOf(library_, *node);
    }
    return *known;
}

QVariant ItemListModel::rowCover(int row) const {
    const std::optional<std::uint32_t> image = coverImageAt(row);
    if (!image) {
        return iconAsCover(rows_[static_cast<std::size_t>(row)]->image);
    }
    const QPixmap cover = covers_.cover(*image, CoverSize::Row);
    if (!cover.isNull()) {
        return cover;
    }
    return covers_.isPending(*image, CoverSize::Row)
               ? coverPlaceholder()
               : iconAsCover(rows_[static_cast<std::size_t>(row)]->image);
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
    const NodeData* row = rowAt(index.row());
    if (row == nullptr || current_ == nullptr) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole: {
            const QStringList& texts = textsOf(index.row());
            return index.column() < texts.size() ? texts[index.column()] : QString();
        }
        case Qt::DecorationRole:
            if (index.column() != 0) {
                return {};
            }
            return withCovers_ ? rowCover(index.row()) : NodeIcons::icon(row->image);
        case Qt::BackgroundRole:
            return isShadedRow(*current_, static_cast<std::size_t>(index.row()))
                       ? QBrush(kShadedRow)
                       : QVariant();
        case Qt::TextAlignmentRole: {
            const bool right = columns_[static_cast<std::size_t>(index.column())].alignRight;
            return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
        }
        default:
            return {};
    }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<std::size_t>(section) >= columns_.size()) {
        return {};
    }
    const ListColumn& column = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(column.title);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (column.alignRight ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

}  // namespace pelmar::ui
