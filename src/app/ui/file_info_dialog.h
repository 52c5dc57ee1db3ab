#pragma once
// The file information dialog ("File infomation"): the name, duration and container of a
// task-list file and the facts of its first video and first audio stream. It reads the file
// through a converter component of its own. Window thread only.

#include "app/ui/edited_row.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;

namespace tarnwick::app {
struct TFileInfoTexts;
}
namespace tarnwick::component {
class TKivAVConverter;
}

namespace tarnwick::ui {

class TfrmFileInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFileInfo(QWidget* parent = nullptr);
    ~TfrmFileInfo() override;

    // Opens the dialog, modal over its parent, for the row (none: everything empty). Returns
    // at once.
    void ShowFile(const EditedRow& row);

protected:
    void done(int result) override;

private:
    void FormShow(const app::TlvFilesRecord* record);
    void ShowTexts(const app::TFileInfoTexts& texts);

    std::unique_ptr<component::TKivAVConverter> kivAVC_;
    QLabel* lblSourceName_;
    QLabel* lblFileLength_;
    QLineEdit* edtFormat_;
    QLineEdit* edtResloution_;
    QLineEdit* edtBitRate_;
    QLineEdit* edtFrameRate_;
    QLineEdit* edtTotalFrame_;
    QLineEdit* edtAudioForamt_;
    QLineEdit* edtAudioBitRate_;
    QLineEdit* edtSampleRate_;
    QLineEdit* edtChannel_;
};

} // namespace tarnwick::ui
