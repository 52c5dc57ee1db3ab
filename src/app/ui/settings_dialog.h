#pragma once
// The settings dialog: the user's choice in each of the nine value lists of a preset, offered
// from the presets file and kept in the settings file, from which the run later builds each
// job's options.

#include "app/core/presets.h"

#include <QDialog>

#include <array>

class QComboBox;

namespace tarnwick::ui {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(const platform::IniStore& settings, const platform::IniStore& presets,
                   QWidget* parent = nullptr);

    // Copies the main window's presets and its selection, fills the lists for that preset and
    // selects the user's saved choices; then shows the dialog, application-modal.
    void ShowFor(const QComboBox& mainFormats);

signals:
    // "&Ok" has written the choices of this preset (and "OutPutFormat"); the main window
    // selects it without writing again.
    void presetChosen(int presetIndex);

private:
    void FormShow();
    void cbOutputFormatChange();
    void btnOkClick();
    void btnDefaultClick();

    // Fills the lists before `end` from the presets file section of the preset.
    void FillLists(int preset, app::TPresetList end);
    // Selects the positions of the lists before `end`.
    void SelectPositions(const app::TListIndexes& positions, app::TPresetList end);
    // The four video lists are usable only when the preset offers a video encoder.
    void EnableVideoLists();
    int Preset() const;

    const platform::IniStore settings_;
    const platform::IniStore presets_;
    QComboBox* cbOutputFormat_;
    // Indexed by app::TPresetList.
    std::array<QComboBox*, app::plCount> lists_{};
    // What the lists hold, as read; the combo boxes show the same items.
    std::array<app::TValueList, app::plCount> values_{};
};

} // namespace tarnwick::ui
