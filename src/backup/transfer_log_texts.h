#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

struct SidecarResult;
struct TrackInfo;

// The fixed texts of the transfer log. Each text is what one TempFile::WriteLine call writes; a
// "\n" inside a text is a line break of its own, and WriteLine adds one more.

inline constexpr std::string_view kLogBeginTransfer = "\n\nBEGIN TRANSFER\n==============";
inline constexpr std::string_view kLogTransferComplete = "\n\nTRANSFER COMPLETE";
// Written after each track's entry (and its iTunes line), leaving two empty lines.
inline constexpr std::string_view kLogEntryEnd = "\n";

// The options of a run as the log reports them, as read from the settings.
struct LoggedOptions {
    std::string destinationFolder;
    std::string folderTemplate;
    std::string fileTemplate;
    std::string existingFile;
    bool iTunesEnabled = false;
    bool artworkSaved = true;
    bool tagsWritten = false;
};

// The lines that follow the title: the empty text that ends the title line, the hint on finding
// failures, and the selection. Each summary text is followed by a line break.
[[nodiscard]] std::vector<std::string> LogHeaderLines(std::span<const std::string> summaryTexts);

// The options section, up to and including the line saying whether tracks go into iTunes.
[[nodiscard]] std::vector<std::string> LogOptionLines(const LoggedOptions& options);

// The line after the options when iTunes insertion is on.
[[nodiscard]] std::string ITunesConnectionLine(bool succeeded);

// "artist - album - 07 - title" from the track's texts as the player holds them, uncleaned.
[[nodiscard]] std::string TrackDisplayName(const TrackInfo& info);

// Whether the library file was written, with how many entries, or why not.
[[nodiscard]] std::string LibrarySidecarLine(const SidecarResult& result);

// One track's entry, built up step by step as the copy proceeds and written as one line.
class TrackLogEntry {
  public:
    // `position` is 1-based and shown with at least four digits.
    TrackLogEntry(std::size_t position, std::string_view displayName, std::string_view destination);

    void destinationExists();
    void deletingExistingFile();
    void copyingToNewName(std::string_view destination);
    // Ends the entry: the existing file stays and nothing is copied.
    void skipped();
    void startingCopy();
    void succeeded();
    // `errorCode` is the system's error number for the failed copy.
    void failed(int errorCode);
    // A failure that has no system error code: `reason` says what stopped the copy.
    void failedBecause(std::string_view reason);
    // After a copy that succeeded: what was written into it, why its tags were left as they
    // were, or why they could not be written (the copy then went into place untouched).
    void tagsWritten(std::string_view written);
    void tagsLeftAlone(std::string_view reason);
    void tagsNotWritten(std::string_view reason);

    [[nodiscard]] const std::string& text() const { return text_; }

  private:
    std::string text_;
};

}  // namespace pelmar
