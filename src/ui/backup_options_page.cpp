#include "ui/backup_options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "backup/backup_options.h"
#include "backup/destination_naming.h"
#include "library/player_library.h"
#include "ui/desktop_shell.h"
#include "ui/node_icons.h"
#include "util/setting_names.h"
#include "util/settings_store.h"

namespace pelmar::ui {

namespace {

constexpr int kFolderPicture = 23;
constexpr int kFilePicture = 27;

template <std::size_t N>
QComboBox* comboOf(const std::array<std::string_view, N>& texts, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (const std::string_view text : texts) {
        combo->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    return combo;
}

// Selects the first item that begins with the stored text, without regard to case; a text that
// begins none leaves the combo without a selection.
void selectByText(QComboBox& combo, const std::string& stored) {
    const QString text = QString::fromStdString(stored);
    for (int i = 0; i < combo.count(); ++i) {
        if (combo.itemText(i).startsWith(text, Qt::CaseInsensitive)) {
            combo.setCurrentIndex(i);
            return;
        }
    }
    combo.setCurrentIndex(-1);
}

QGroupBox* groupOf(const QString& title, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    new QVBoxLayout(group);
    return group;
}

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

CBackupOptionsPage::CBackupOptionsPage(const PlayerLibrary& library, std::vector<KernelId> items,
                                       SettingsStore& settings, DesktopShell& shell,
                                       QWidget* parent)
    : QWidget(parent),
      library_(library),
      items_(std::move(items)),
      settings_(settings),
      shell_(shell),
      iTunes_(new QCheckBox(
          QStringLiteral("Automatically insert backed up songs and playlists into iTunes Library."),
          this)),
      artwork_(new QCheckBox(QStringLiteral("Save album artwork"), this)),
      tags_(new QCheckBox(
          QStringLiteral("Write ratings, play counts and missing tags into the copied files"),
          this)),
      folder_(new QLineEdit(this)),
      preview_(new QTreeWidget(this)),
      folderTemplates_(comboOf(kFolderTemplates, this)),
      fileTemplates_(comboOf(kFileTemplates, this)),
      existing_(comboOf(kExistingFileChoices, this)) {
    auto* layout = new QVBoxLayout(this);

    QGroupBox* iTunesGroup = groupOf(QStringLiteral("iTunes Integration"), this);
    iTunesGroup->layout()->addWidget(iTunes_);
    layout->addWidget(iTunesGroup);

    QGroupBox* folderGroup = groupOf(QStringLiteral("Backup Destination Folder:"), this);
    folder_->setReadOnly(true);
    folderGroup->layout()->addWidget(folder_);
    auto* folderButtons = new QHBoxLayout;
    auto* choose = new QPushButton(QStringLiteral("Choose Folder..."), this);
    auto* open = new QPushButton(QStringLiteral("Open Folder in File Manager..."), this);
    folderButtons->addWidget(choose);
    folderButtons->addWidget(open);
    folderButtons->addStretch(1);
    static_cast<QVBoxLayout*>(folderGroup->layout())->addLayout(folderButtons);
    layout->addWidget(folderGroup);

    QGroupBox* namingGroup =
        groupOf(QStringLiteral("File and Folder Naming (for music and videos):"), this);
    namingGroup->layout()->addWidget(wrappedLabel(
        QStringLiteral("This display previews how your first selected track would be copied, "
                       "based on your current folder and file naming settings below."),
        this));
    preview_->setHeaderHidden(true);
    preview_->setIconSize(QSize(NodeIcons::kSize, NodeIcons::kSize));
    preview_->setMinimumHeight(110);
    QPalette colours = preview_->palette();
    colours.setColor(QPalette::Base, kViewBackground);
    preview_->setPalette(colours);
    namingGroup->layout()->addWidget(preview_);
    auto* templates = new QGridLayout;
    templates->addWidget(new QLabel(QStringLiteral("Folder Structure:"), this), 0, 0);
    templates->addWidget(folderTemplates_, 0, 1);
    templates->addWidget(new QLabel(QStringLiteral("File Naming:"), this), 1, 0);
    templates->addWidget(fileTemplates_, 1, 1);
    templates->setColumnStretch(1, 1);
    static_cast<QVBoxLayout*>(namingGroup->layout())->addLayout(templates);
    layout->addWidget(namingGroup);

    QGroupBox* existingGroup = groupOf(QStringLiteral("Existing File Handling"), this);
    existingGroup->layout()->addWidget(wrappedLabel(
        QStringLiteral("If the file to be copied already exists in the destination folder, then:"),
        this));
    existingGroup->layout()->addWidget(existing_);
    layout->addWidget(existingGroup);

    QGroupBox* extrasGroup = groupOf(QStringLiteral("Artwork and Tags"), this);
    extrasGroup->layout()->addWidget(artwork_);
    extrasGroup->layout()->addWidget(tags_);
    layout->addWidget(extrasGroup);
    layout->addStretch(1);

    folder_->setText(QString::fromStdString(
        settings_.string(kSettingDestinationFolder, "Please select a destination folder.")));
    selectByText(*folderTemplates_,
                 settings_.string(kSettingFolderTemplate, std::string(kDefaultFolderTemplate)));
    selectByText(*fileTemplates_,
                 settings_.string(kSettingFileTemplate, std::string(kDefaultFileTemplate)));
    selectByText(*existing_, settings_.string(kSettingExistingFile, std::string(kExistDoNotCopy)));
    iTunes_->setChecked(settings_.number(kSettingEnableITunes, 0) != 0);
    artwork_->setChecked(settings_.number(kSettingSaveArtwork, 1) != 0);
    tags_->setChecked(settings_.number(kSettingWriteTags, 0) != 0);
    refresh();

    connect(iTunes_, &QCheckBox::clicked, this,
            [this](bool ticked) { settings_.writeNumber(kSettingEnableITunes, ticked ? 1 : 0); });
    connect(artwork_, &QCheckBox::clicked, this,
            [this](bool ticked) { settings_.writeNumber(kSettingSaveArtwork, ticked ? 1 : 0); });
    connect(tags_, &QCheckBox::clicked, this,
            [this](bool ticked) { settings_.writeNumber(kSettingWriteTags, ticked ? 1 : 0); });
    connect(choose, &QPushButton::clicked, this, &CBackupOptionsPage::chooseFolder);
    connect(open, &QPushButton::clicked, this, &CBackupOptionsPage::openFolder);
    connect(folderTemplates_, &QComboBox::currentIndexChanged, this, &CBackupOptionsPage::refresh);
    connect(fileTemplates_, &QComboBox::currentIndexChanged, this, &CBackupOptionsPage::refresh);
    connect(existing_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            settings_.writeString(kSettingExistingFile, existing_->itemText(index).toStdString());
        }
    });
}

void CBackupOptionsPage::chooseFolder() {
    const QString chosen = shell_.chooseFolder(
        this, QStringLiteral("Select a folder to copy files to:"), folder_->text());
    if (chosen.isEmpty()) {
        return;
    }
    folder_->setText(chosen);
    settings_.writeString(kSettingDestinationFolder, chosen.toStdString());
    refresh();
}

void CBackupOptionsPage::openFolder() {
    shell_.open(folder_->text());
}

void CBackupOptionsPage::refresh() {
    if (fileTemplates_->currentIndex() >= 0) {
        settings_.writeString(kSettingFileTemplate, fileTemplates_->currentText().toStdString());
    }
    if (folderTemplates_->currentIndex() >= 0) {
        settings_.writeString(kSettingFolderTemplate,
                              folderTemplates_->currentText().toStdString());
    }
    if (!items_.empty()) {
        showPreview();
    }
}

void CBackupOptionsPage::showPreview() {
    const std::string folderTemplate =
        folderTemplates_->currentIndex() >= 0 ? folderTemplates_->currentText().toStdString() : "";
    const std::string fileTemplate =
        fileTemplates_->currentIndex() >= 0 ? fileTemplates_->currentText().toStdString() : "";
    const DestinationParts parts =
        BuildDestinationParts(library_, items_.front().id, folderTemplate, fileTemplate, false);
    const TextCodec& codec = library_.codec();
    preview_->clear();
    QTreeWidgetItem* parent = nullptr;
    const auto add = [&](const QString& text, int picture) {
        auto* item = new QTreeWidgetItem({text});
        item->setIcon(0, NodeIcons::icon(picture));
        if (parent == nullptr) {
            preview_->addTopLevelItem(item);
        } else {
            parent->addChild(item);
            parent->setExpanded(true);
        }
        return item;
    };
    if (QFileInfo(folder_->text()).isDir()) {
        parent = add(folder_->text(), kFolderPicture);
    }
    for (const std::string& component : parts.components) {
        parent = add(QString::fromStdString(codec.toUtf8(component)), kFolderPicture);
    }
    add(QString::fromStdString(codec.toUtf8(parts.fileBase) + "." + parts.extension), kFilePicture);
}

}  // namespace pelmar::ui
