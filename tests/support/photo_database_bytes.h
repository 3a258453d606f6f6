#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace pelmar::test {

// Assembles photo database bytes record by record, including shapes no writer produces.
class PhotoDatabaseBytes {
  public:
    // A container or list header of any kind; its total length covers just its header.
    PhotoDatabaseBytes& record(std::string_view tag, std::uint32_t headerLength = 16);
    PhotoDatabaseBytes& image(std::uint32_t id, std::uint32_t modified = 0,
                              std::uint32_t created = 0);
    // A thumbnail reference: a type-2 data object holding its thumbnail record. `typeWord` is the
    // whole 32-bit word at +12.
    PhotoDatabaseBytes& thumbnail(std::uint32_t format, std::uint32_t offset, std::uint32_t size,
                                  std::uint32_t typeWord = 2);
    PhotoDatabaseBytes& album();
    // A name object: the 12-byte string header stating `statedLength`, then `bytes`.
    PhotoDatabaseBytes& albumName(std::string_view bytes, std::int64_t statedLength = -1,
                                  std::uint16_t type = 1);
    PhotoDatabaseBytes& albumItem(std::uint32_t imageId);
    // A data object whose body is `body`, with the given type word.
    PhotoDatabaseBytes& dataObject(std::uint32_t typeWord, const std::vector<std::uint8_t>& body);
    PhotoDatabaseBytes& raw(const std::vector<std::uint8_t>& bytes);

    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return data_; }

  private:
    std::vector<std::uint8_t> data_;
};

}  // namespace pelmar::test
