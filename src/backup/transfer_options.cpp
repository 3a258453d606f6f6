#include "backup/transfer_options.h"

#include "backup/backup_options.h"
#include "util/setting_names.h"
#include "util/settings_store.h"

namespace pelmar {

TransferOptions readTransferOptions(const SettingsStore& settings) {
    TransferOptions options;
    options.destinationFolder = settings.string(kSettingDestinationFolder, "");
    while (options.destinationFolder.size() > 1 && options.destinationFolder.back() == '/') {
        options.destinationFolder.pop_back();
    }
    options.folderTemplate =
        settings.string(kSettingFolderTemplate, std::string(kDefaultFolderTemplate));
    options.fileTemplate = settings.string(kSettingFileTemplate, std::string(kDefaultFileTemplate));
    options.existHandling = settings.string(kSettingExistingFile, std::string(kExistDoNotCopy));
    options.enableITunes = settings.number(kSettingEnableITunes, 0);
    options.saveArtwork = settings.number(kSettingSaveArtwork, 1);
    options.writeTags = settings.number(kSettingWriteTags, 0);
    return options;
}

}  // namespace pelmar
