#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pelmar {

class SettingsStore;

// The free bytes of the volume holding a path; nothing when they cannot be read.
using FreeBytesQuery = std::function<std::optional<std::uint64_t>(const std::string&)>;

// Every free byte of the volume holding `path`, the blocks kept for the administrator included;
// nothing when the volume cannot be read.
[[nodiscard]] std::optional<std::uint64_t> volumeFreeBytes(const std::string& path);

// Free space in megabytes as the backup page counts it: the kilobytes in 32 bits, higher bits
// dropped, then divided by 1024. Unknown free space is 0.
[[nodiscard]] std::uint32_t freeMegabytes(std::optional<std::uint64_t> freeBytes);

// Where the volume holding the existing `path` is mounted: its highest ancestor on the same
// device, symbolic links resolved. `path` itself when it cannot be looked at.
[[nodiscard]] std::string mountPointOf(const std::string& path);

// The two checks before a backup may start: the backup folder exists, and its volume has room
// for the selected tracks (photos are not counted). Returns the message to show when a check
// refuses, nothing when the run may start.
[[nodiscard]] std::optional<std::string> checkBeforeBackup(const std::string& folder,
                                                           std::uint32_t selectedKilobytes,
                                                           const FreeBytesQuery& freeBytes);

// The same checks on the backup folder stored in the settings.
[[nodiscard]] std::optional<std::string> checkBeforeBackup(const SettingsStore& settings,
                                                           std::uint32_t selectedKilobytes,
                                                           const FreeBytesQuery& freeBytes);

}  // namespace pelmar
