#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <span>
#include <vector>

#include "library/list_rows.h"

namespace pelmar {
class PlayerLibrary;
}

namespace pelmar::ui {

// The rows of the item list. A row's texts are made the first time the view asks for any of
// them and kept until the next fill, so a list of 100,000 tracks costs only what is on screen.
class ItemListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    ItemListModel(const PlayerLibrary& library, const std::vector<std::uint32_t>& searchResults,
                  QObject* parent = nullptr);

    // Shows `rows`, in the given order, as the rows of `current` (null: no node, no rows).
    void show(const NodeData* current, std::vector<NodeData*> rows);

    [[nodiscard]] const NodeData* current() const { return current_; }
    [[nodiscard]] NodeData* rowAt(int row) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

  private:
    const QStringList& textsOf(int row) const;

    const PlayerLibrary& library_;
    const std::vector<std::uint32_t>& searchResults_;
    const NodeData* current_ = nullptr;
    std::span<const ListColumn> columns_;
    std::vector<NodeData*> rows_;
    mutable std::vector<QStringList> texts_;
};

}  // namespace pelmar::ui
