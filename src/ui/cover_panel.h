#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

namespace pelmar::ui {

class CoverCache;

// The large cover beside the item list: the selected album's, or the album of the selected
// track. While the cover is being decoded the panel stays blank; an album without artwork shows
// a grey square that says so.
class CoverPanel : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMargin = 8;

    explicit CoverPanel(CoverCache& covers, QWidget* parent = nullptr);

    // Shows the cover of `imageId`, or the square for no artwork.
    void showCover(std::optional<std::uint32_t> imageId);
    [[nodiscard]] std::optional<std::uint32_t> shownImage() const { return imageId_; }
    // The cover as drawn; null while it is being decoded and when there is none.
    [[nodiscard]] QPixmap shownPicture() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CoverCache& covers_;
    std::optional<std::uint32_t> imageId_;
};

}  // namespace pelmar::ui
