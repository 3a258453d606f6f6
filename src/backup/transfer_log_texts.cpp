#include "backup/transfer_log_texts.h"

#include <cstdio>

#include "backup/destination_naming.h"
#include "backup/library_sidecar.h"
#include "library/track_data.h"

namespace pelmar {

std::vector<std::string> LogHeaderLines(std::span<const std::string> summaryTexts) {
    std::string selection = "TRANSFER SET\n============\n";
    for (const std::string& text : summaryTexts) {
        selection += text;
        selection += '\n';
    }
    return {"", "To locate failed transfers in this log, search for the word 'FAILED'.\n\n",
            std::move(selection)};
}

std::vector<std::string> LogOptionLines(const LoggedOptions& options) {
    return {
        "USER OPTION SETTINGS\n====================",
        "* Destination folder: " + options.destinationFolder,
        "* Folder format:      " + options.folderTemplate,
        "* Filename format:    " + options.fileTemplate,
        "",
        "* When destination file already exists, " + options.existingFile + ".",
        std::string("* Album artwork WILL ") + (options.artworkSaved ? "" : "NOT ") +
            "be saved beside the transferred tracks.",
        std::string("* Ratings, play counts and missing tags WILL ") +
            (options.tagsWritten ? "" : "NOT ") + "be written into the copied files.",
        std::string("* Transferred tracks WILL ") + (options.iTunesEnabled ? "" : "NOT ") +
            "be inserted into iTunes library.",
    };
}

std::string ITunesConnectionLine(bool succeeded) {
    return std::string("  Connection to iTunes library ") + (succeeded ? "succeeded" : "failed") +
           ".";
}

std::string TrackDisplayName(const TrackInfo& info) {
    return info.artist + " - " + info.album + " - " + TrackNumberText(info.trackNumber) + " - " +
           info.title;
}

std::string LibrarySidecarLine(const SidecarResult& result) {
    const std::string name(kLibrarySidecarName);
    if (!result.written) {
        return "\n" + name + " could not be written (" + result.problem + ").";
    }
    std::string line = "\n" + name + " written with " + std::to_string(result.entries) +
                       (result.entries == 1 ? " track." : " tracks.");
    if (!result.keptAside.empty()) {
        line += " The earlier " + name + ", which was not a library file, was kept as " +
                result.keptAside + ".";
    }
    return line;
}

TrackLogEntry::TrackLogEntry(std::size_t position, std::string_view displayName,
                             std::string_view destination) {
    char number[24];
    std::snprintf(number, sizeof number, "%04zu", position);
    text_ = number;
    text_ += ". Copying \"";
    text_ += displayName;
    text_ += "\"\n      to: ";
    text_ += destination;
    text_ += '\n';
}

void TrackLogEntry::destinationExists() {
    text_ += "      destination file exists...";
}

void TrackLogEntry::deletingExistingFile() {
    text_ += "deleting existing file...\n";
}

void TrackLogEntry::copyingToNewName(std::string_view destination) {
    text_ += "copying to new name: ";
    text_ += destination;
    text_ += '\n';
}

void TrackLogEntry::skipped() {
    text_ += "\n      SKIPPED.";
}

void TrackLogEntry::startingCopy() {
    text_ += "      starting copy...";
}

void TrackLogEntry::succeeded() {
    text_ += "\n      SUCCEEDED.";
}

void TrackLogEntry::failed(int errorCode) {
    text_ += "\n      FAILED...(Error code " + std::to_string(errorCode) + ").";
}

void TrackLogEntry::failedBecause(std::string_view reason) {
    text_ += "\n      FAILED...(";
    text_ += reason;
    text_ += ").";
}

void TrackLogEntry::tagsWritten(std::string_view written) {
    text_ += "\n      Tags written: ";
    text_ += written;
    text_ += '.';
}

void TrackLogEntry::tagsLeftAlone(std::string_view reason) {
    text_ += "\n      Tags left alone (";
    text_ += reason;
    text_ += ").";
}

void TrackLogEntry::tagsNotWritten(std::string_view reason) {
    text_ += "\n      Tags could not be written (";
    text_ += reason;
    text_ += "); the copy is as it was on the player.";
}

}  // namespace pelmar
