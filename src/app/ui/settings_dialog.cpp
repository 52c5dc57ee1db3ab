#include "app/ui/settings_dialog.h"

#include "app/core/preset_choices.h"
#include "app/ui/handler_guard.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

struct ListControl {
    app::TPresetList list;
    const char* objectName;
    const char* caption;
};
// The video group, then the audio group, each in the order they are shown.
constexpr ListControl VideoControls[] = {
    {app::plVideoSize, "cmbVideoSize", "Resloution:"},
    {app::plVideoEncoder, "cmbVideoEncoder", "Encoder:"},
    {app::plVideoBitRate, "cmbVideoBitRate", "BitRate (Kbps):"},
    {app::plFrameRate, "cmbFrameRate", "FrameRate (Fps):"},
};
constexpr ListControl AudioControls[] = {
    {app::plSampleRate, "cmbSamplerate", "SampleRate (Hz):"},
    {app::plAudioEncoder, "cmbAudioEncoder", "Encoder:"},
    {app::plChannel, "cmbChannel", "Channel:"},
    {app::plAudioBitRate, "cmbAudioBitRate", "BitRate (Kbps):"},
    {app::plVolume, "cmbVolume", "Volume:"},
};

QPushButton* Button(const char* objectName, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(objectName));
    return button;
}

} // namespace

SettingsDialog::SettingsDialog(const platform::IniStore& settings,
                               const platform::IniStore& presets, QWidget* parent)
    : QDialog(parent), settings_(settings), presets_(presets) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(475, 360);

    cbOutputFormat_ = new QComboBox(this);
    cbOutputFormat_->setObjectName(QStringLiteral("cbOutputFormat"));
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(new QLabel(QStringLiteral("Output Format:"), this));
    formatRow->addWidget(cbOutputFormat_, 1);

    const auto group = [this](const char* title, const auto& controls) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (const ListControl& control : controls) {
            auto* combo = new QComboBox(box);
            combo->setObjectName(QString::fromUtf8(control.objectName));
            // The captions keep their room; a long item shows whole in the open list.
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            combo->setMinimumContentsLength(4);
            grid->addWidget(new QLabel(QString::fromUtf8(control.caption), box), row, 0);
            grid->addWidget(combo, row, 1);
            lists_[control.list] = combo;
            ++row;
        }
        grid->setColumnStretch(1, 1);
        grid->setContentsMargins(6, 6, 6, 6);
        grid->setHorizontalSpacing(4);
        return box;
    };
    auto* groups = new QHBoxLayout;
    // The audio values are the longer texts ("stereo 2 channels").
    groups->addWidget(group("Video Options", VideoControls), 0, Qt::AlignTop);
    groups->addWidget(group("Audio Options", AudioControls), 1, Qt::AlignTop);

    QPushButton* ok = Button("btnOk", "&Ok", this);
    QPushButton* byDefault = Button("btnDefault", "&Default", this);
    QPushButton* cancel = Button("btnCancel", "&Cancel", this);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(byDefault);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(formatRow);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(byDefault, &QPushButton::clicked, this, Guarded([this] { btnDefaultClick(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbOutputFormat_, &QComboBox::activated, this,
            Guarded([this] { cbOutputFormatChange(); }));
}

void SettingsDialog::ShowFor(const QComboBox& mainFormats) {
    cbOutputFormat_->clear();
    for (int i = 0; i < mainFormats.count(); ++i)
        cbOutputFormat_->addItem(mainFormats.itemText(i));
    cbOutputFormat_->setMaxVisibleItems(mainFormats.maxVisibleItems());
    cbOutputFormat_->setCurrentIndex(mainFormats.currentIndex());
    FormShow();
    setWindowModality(Qt::ApplicationModal);
    show();
}

int SettingsDialog::Preset() const { return cbOutputFormat_->currentIndex(); }

void SettingsDialog::FillLists(int preset, app::TPresetList end) {
    const auto read = app::ReadValueLists(presets_, preset);
    for (int i = 0; i < end; ++i) {
        values_[i] = read[i];
        QComboBox* combo = lists_[i];
        combo->clear();
        for (const std::string& item : values_[i].Items)
            combo->addItem(QString::fromStdString(item));
        combo->setEnabled(values_[i].Enabled);
    }
}

void SettingsDialog::SelectPositions(const app::TListIndexes& positions, app::TPresetList end) {
    for (int i = 0; i < end; ++i) {
        QComboBox* combo = lists_[i];
        // A saved position the list does not have selects nothing.
        combo->setCurrentIndex(positions[i] < combo->count() ? positions[i] : -1);
        combo->setMaxVisibleItems(std::max(combo->count(), 1));
    }
}

void SettingsDialog::EnableVideoLists() {
    const bool offered = lists_[app::plVideoEncoder]->count() > 0;
    for (const ListControl& control : VideoControls)
        lists_[control.list]->setEnabled(offered);
}

void SettingsDialog::FormShow() {
    const int preset = Preset();
    FillLists(preset, app::plCount);
    SelectPositions(app::ReadSavedChoices(settings_, preset), app::plCount);
    EnableVideoLists();
}

void SettingsDialog::cbOutputFormatChange() {
    // The volume list keeps its items and its selection.
    const int preset = Preset();
    FillLists(preset, app::plVolume);
    SelectPositions(app::ReadSavedChoices(settings_, preset), app::plVolume);
    EnableVideoLists();
}

void SettingsDialog::btnDefaultClick() {
    SelectPositions(app::ReadFactoryChoices(presets_, Preset()), app::plCount);
}

void SettingsDialog::btnOkClick() {
    const int preset = Preset();
    if (preset < 0) return;
    app::TPresetChoices choices;
    for (int i = 0; i < app::plCount; ++i)
        choices[i] = app::ChoiceAt(values_[i], lists_[i]->currentIndex());
    // A value that does not parse raises here: the error display shows it and the dialog
    // stays open, with what was written before it kept.
    app::WritePresetChoices(settings_, presets_, preset, choices);
    emit presetChosen(preset);
    accept();
}

} // namespace tarnwick::ui
