#pragma once

#include <QWidget>
#include <vector>

#include "library/kernel_id.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace pelmar {
class PlayerLibrary;
class SettingsStore;
}  // namespace pelmar

namespace pelmar::ui {

class DesktopShell;

// "Options": the backup folder, the naming templates with a preview of where the first item
// would go, the existing-file rule and the iTunes choice. Every change is stored at once.
class CBackupOptionsPage : public QWidget {
    Q_OBJECT

  public:
    CBackupOptionsPage(const PlayerLibrary& library, std::vector<KernelId> items,
                       SettingsStore& settings, DesktopShell& shell, QWidget* parent = nullptr);

    [[nodiscard]] QLineEdit& folderEdit() const { return *folder_; }
    [[nodiscard]] QComboBox& folderTemplates() const { return *folderTemplates_; }
    [[nodiscard]] QComboBox& fileTemplates() const { return *fileTemplates_; }
    [[nodiscard]] QComboBox& existingFileChoices() const { return *existing_; }
    [[nodiscard]] QCheckBox& iTunesBox() const { return *iTunes_; }
    [[nodiscard]] QCheckBox& artworkBox() const { return *artwork_; }
    [[nodiscard]] QCheckBox& tagsBox() const { return *tags_; }
    [[nodiscard]] QTreeWidget& preview() const { return *preview_; }

    void chooseFolder();
    void openFolder();

  private:
    void refresh();
    void showPreview();

    const PlayerLibrary& library_;
    std::vector<KernelId> items_;
    SettingsStore& settings_;
    DesktopShell& shell_;
    QCheckBox* iTunes_;
    QCheckBox* artwork_;
    QCheckBox* tags_;
    QLineEdit* folder_;
    QTreeWidget* preview_;
    QComboBox* folderTemplates_;
    QComboBox* fileTemplates_;
    QComboBox* existing_;
};

}  // namespace pelmar::ui
