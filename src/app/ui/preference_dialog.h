#pragma once
// The preferences dialog ("Preference"): the snapshot folder, sizes, formats and JPEG quality,
// and the work priority of a run, as the settings file keeps them. Window thread only.

#include "app/core/preference_rules.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QSlider;
class QSpinBox;

namespace tarnwick::app {
class TMessageBox;
}

namespace tarnwick::ui {

class FileChooser;
class UrlOpener;

class TfrmPreference : public QDialog {
    Q_OBJECT
public:
    // The services outlive the dialog.
    TfrmPreference(platform::IniStore settings, FileChooser& files, UrlOpener& urls,
                   app::TMessageBox& messages, QWidget* parent = nullptr);

    // Opens the dialog, modal over its parent, with the stored values. Returns at once.
    void Edit();

private:
    void FormShow();
    app::TPreferences Shown() const;
    void Show(const app::TPreferences& values);
    // The at-least-one rule for a box the user clicked.
    void KeepOneTicked(QCheckBox& clicked, const QCheckBox& partner);
    void EnableQuality();
    void btnBrowsClick();
    void btnOpenClick();
    void btnOkClick();

    const platform::IniStore settings_;
    FileChooser& files_;
    UrlOpener& urls_;
    app::TMessageBox& messages_;
    QLineEdit* edtSnapDirectory_;
    QCheckBox* ckFullSize_;
    QCheckBox* ckSmallSize_;
    QCheckBox* ckBmp_;
    QCheckBox* ckJpg_;
    QSlider* trcCmp_;
    QSpinBox* spedCmp_;
    QButtonGroup* rdGrpPriority_;
};

} // namespace tarnwick::ui
