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

// What the chooser asks of a folder. Empty functions take the real answers (the folder's
// permissions for the user, its file system's type); tests, which can neither mount a disc
// nor take the right to write from the superuser, answer for them.
struct FolderChecks {
    std::function<bool(const std::string& folder)> IsWritable;
    std::function<bool(const std::string& folder)> IsOnOpticalDisc;
};

class TfmDirectory : public QDialog {
    Q_OBJECT
public:
    explicit TfmDirectory(app::TMessageBox& messages, QWidget* parent = nullptr,
                          FolderChecks checks = {});

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
    FolderChecks checks_;
    QFileSystemModel* folders_;
    QString chosenFolder_;
};

} // namespace tarnwick::ui
