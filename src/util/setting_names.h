#pragma once

namespace pelmar {

// The names of the stored settings. Each reader passes its own default, so one name can have
// different defaults at different readers.
inline constexpr const char* kSettingDestinationFolder = "DstFolder";
inline constexpr const char* kSettingFolderTemplate = "FormatFolder";
inline constexpr const char* kSettingFileTemplate = "FormatFile";
inline constexpr const char* kSettingExistingFile = "ExistHandling";
inline constexpr const char* kSettingEnableITunes = "EnableiTunes";
inline constexpr const char* kSettingSaveArtwork = "SaveArtwork";
inline constexpr const char* kSettingWriteTags = "WriteTags";
inline constexpr const char* kSettingTempPath = "Gen_TempPath";

}  // namespace pelmar
