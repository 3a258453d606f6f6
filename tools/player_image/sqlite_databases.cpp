#include "player_image/sqlite_databases.h"

#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "player_image/random.h"

namespace pelmar::player_image {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kNotSqliteSize = 8192;
constexpr std::array<std::uint8_t, 8> kJournalMagic{0xD9, 0xD5, 0x05, 0xF9, 0x20, 0xA1, 0x63, 0xD7};
constexpr std::uint32_t kSectorSize = 512;
// Big-endian page size in the database header; 1 stands for 65536.
constexpr std::size_t kPageSizeAt = 16;
// The journal checksum adds every 200th byte of a page, counting down from its end.
constexpr std::ptrdiff_t kChecksumStride = 200;

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.eof() && in.fail()) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return bytes;
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void appendBe32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::size_t pageSizeOf(const Bytes& database, const std::filesystem::path& path) {
    if (database.size() < kPageSizeAt + 2) {
        throw std::runtime_error(path.string() + " is too short for an SQLite database");
    }
    const std::size_t stated = std::size_t{database[kPageSizeAt]} << 8 | database[kPageSizeAt + 1];
    return stated == 1 ? 65536 : stated;
}

std::uint32_t pageChecksum(std::span<const std::uint8_t> page, std::uint32_t nonce) {
    std::uint32_t sum = nonce;
    for (auto at = static_cast<std::ptrdiff_t>(page.size() - kChecksumStride); at > 0;
         at -= kChecksumStride) {
        sum += page[static_cast<std::size_t>(at)];
    }
    return sum;
}

// Random bytes that do not begin as an SQLite database does.
Bytes notSqlite() {
    Random random(0x1170DB);
    Bytes bytes(kNotSqliteSize);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(random.next());
    }
    bytes[0] = 'P';
    return bytes;
}

}  // namespace

void writeHotJournal(const std::filesystem::path& database, const std::filesystem::path& before,
                     const std::filesystem::path& journal, std::uint32_t nonce) {
    const Bytes now = readFile(database);
    const Bytes old = readFile(before);
    const std::size_t pageSize = pageSizeOf(now, database);
    if (pageSizeOf(old, before) != pageSize) {
        throw std::runtime_error("the two versions of " + database.string() +
                                 " have different page sizes");
    }
    Bytes records;
    std::uint32_t recordCount = 0;
    const std::size_t oldPages = old.size() / pageSize;
    for (std::size_t page = 0; page < oldPages; ++page) {
        const auto oldPage = std::span(old).subspan(page * pageSize, pageSize);
        const bool same = (page + 1) * pageSize <= now.size() &&
                          std::equal(oldPage.begin(), oldPage.end(),
                                     now.begin() + static_cast<std::ptrdiff_t>(page * pageSize));
        if (same) {
            continue;
        }
        appendBe32(records, static_cast<std::uint32_t>(page + 1));
        records.insert(records.end(), oldPage.begin(), oldPage.end());
        appendBe32(records, pageChecksum(oldPage, nonce));
        ++recordCount;
    }
    Bytes bytes(kJournalMagic.begin(), kJournalMagic.end());
    appendBe32(bytes, recordCount);
    appendBe32(bytes, nonce);
    appendBe32(bytes, static_cast<std::uint32_t>(oldPages));
    appendBe32(bytes, kSectorSize);
    appendBe32(bytes, static_cast<std::uint32_t>(pageSize));
    bytes.resize(kSectorSize, 0);
    bytes.insert(bytes.end(), records.begin(), records.end());
    writeFile(journal, bytes);
}

void writeSqliteDatabases(const PlayerImage& image, const std::filesystem::path& folder,
                          SqliteDamage damage) {
    if (damage == SqliteDamage::NotSqlite) {
        writeFile(folder / "Library.itdb", notSqlite());
    } else {
        writeLibraryDatabase(image, folder / "Library.itdb", damage);
    }
    writeLocationsDatabase(image, folder / "Locations.itdb", damage);
    const std::filesystem::path dynamic = folder / "Dynamic.itdb";
    writeDynamicDatabase(image, dynamic, damage, false);
    if (damage == SqliteDamage::Journal) {
        const std::filesystem::path synced = folder / "Dynamic.itdb-synced";
        writeDynamicDatabase(image, synced, damage, true);
        writeHotJournal(dynamic, synced, folder / "Dynamic.itdb-journal",
                        static_cast<std::uint32_t>(Random(image.tracks.size()).next()));
        std::filesystem::remove(synced);
    }
    writeExtrasDatabase(image, folder / "Extras.itdb");
}

}  // namespace pelmar::player_image
