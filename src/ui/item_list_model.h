#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "library/list_rows.h"

namespace pelmar {
class PlayerLibrary;
}

namespace pelmar::ui {

class CoverCache;

// The rows of the item list. A row's texts are made the first time the view asks for any of
// them and kept until the next fill, so a list of 100,000 tracks costs only what is on screen.
// Album rows can show their covers in place of their icons, looked up and decoded in the same
// way only for the rows drawn.
class ItemListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    ItemListModel(const PlayerLibrary& library, const std::vector<std::uint32_t>& searchResults,
                  CoverCache& covers, QObject* parent = nullptr);

    // Shows `rows`, in the given order, as the rows of `current` (null: no node, no rows);
    // album rows with their covers when `withCovers`.
    void show(const NodeData* current, std::vector<NodeData*> rows, bool withCovers = false);

    [[nodiscard]] const NodeData* current() const { return current_; }
    [[nodiscard]] NodeData* rowAt(int row) const;
    [[nodiscard]] bool withCovers() const { return withCovers_; }
    // The artwork image that stands for the row, looked up once per fill.
    [[nodiscard]] std::optional<std::uint32_t> coverImageAt(int row) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

  private:
    const QStringList& textsOf(int row) const;
    [[nodiscard]] QVariant rowCover(int row) const;

    const PlayerLibrary& library_;
    const std::vector<std::uint32_t>& searchResults_;
    CoverCache& covers_;
    bool withCovers_ = false;
    const NodeData* current_ = nullptr;
    std::span<const ListColumn> columns_;
    std::vector<NodeData*> rows_;
    mutable std::vector<QStringList> texts_;
    // Per row: not looked up yet, or the image found, if any.
    mutable std::vector<std::optional<std::optional<std::uint32_t>>> coverImages_;
};

}  // namespace pelmar::ui
