#pragma once
// The output folder chooser `TfmDirectory` ("Brows"): a tree of the file system's folders that
// opens on the user's home folder. "Ok" is enabled only while the selected folder can be
// written to; a folder on a CD or DVD is refused with a message and the chooser stays open.
// The caller shows it modally and reads ChosenFolder afterwards: empty means nothing chosen.

#include "app/core/message_box.h"

#include <QDialog>

#include <functional>
#include <string>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace tarnwick::ui {

class TfmDirectory : public QDialog {
    Q_OBJECT
public:
    // `isOnOpticalDisc` tells whether a folder lies on a CD or DVD (the file system's type by
    // default; tests, which cannot mount a disc, answer for it).
    explicit TfmDirectory(app::TMessageBox& messages, QWidget* parent = nullptr,
                          std::function<bool(const std::string&)> isOnOpticalDisc = {});

    QString ChosenFolder() const { return chosenFolder_; }
    // The folder selected in the tree; empty when none is.
    QString SelectedFolder() const;
    // Selects the folder in the tree and shows it.
    void SelectFolder(const QString& folder);

    QLabel* Label1; // "Please select an output directory:"
    QTreeView* stview_selectdir;
    QPushButton* btnOk;     // "Ok"
    QPushButton* btnCancel; // "Cancel"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateOk();
    void btnOkClick();
    void btnCancelClick();

    app::TMessageBox& messages_;
    std::function<bool(const std::string&)> isOnOpticalDisc_;
    QFileSystemModel* folders_;
    QString chosenFolder_;
};

} // namespace tarnwick::ui
