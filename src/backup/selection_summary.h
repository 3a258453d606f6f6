#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "backup/backup_checks.h"
#include "backup/backup_selection.h"

namespace pelmar {

class PlayerLibrary;
class SettingsStore;

// The "Selected:" lines of the backup page; the transfer log copies them.
struct SelectionSummary {
    std::string tracksLine;
    std::string statisticsLine;  // two lines: the distinct counts, then size and play length
    std::string photosLine;      // empty when no photo is selected

    // Each line followed by "\n".
    [[nodiscard]] std::string text() const;
};

[[nodiscard]] SelectionSummary summarizeSelection(const PlayerLibrary& library,
                                                  const BackupSelection& selection);

// "" for exactly one, "s" for any other number, zero included.
[[nodiscard]] std::string_view pluralEnding(std::int64_t n);

// The backup folder as the page shows it: a text of more than 43 characters becomes its first 3
// characters, "..." and its last 40. Characters are counted whole, so a cut never splits one.
[[nodiscard]] std::string destinationLabel(std::string_view folder);

[[nodiscard]] std::string freeSpaceLabel(std::uint32_t freeMegabytes);

// What the page shows under "Backup to:" each time it becomes active.
struct DestinationDisplay {
    std::string folderLabel;
    std::string freeSpaceLabel;
};

// The stored backup folder, or "No destination folder selected yet." with 0 MB free.
[[nodiscard]] DestinationDisplay describeDestination(const SettingsStore& settings,
                                                     const FreeBytesQuery& freeBytes);

}  // namespace pelmar
