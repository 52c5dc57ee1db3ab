#pragma once
// The crop editor ("Crop"): bands cut off the top, bottom, left and right of a task-list
// file's picture, set by dragging a rubber band over the shown picture or by stepping four
// spin edits in display pixels. "Ok" stores them in the row as even source pixels.
// Window thread only.

#include "app/core/crop_geometry.h"
#include "app/ui/edited_row.h"

#include <QDialog>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QSpinBox;

namespace tarnwick::component {
class TKivAVConverter;
}

namespace tarnwick::ui {

class EditorPreview;
class TRectTracker;

class TfrmCrop : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCrop(QWidget* parent = nullptr);
    ~TfrmCrop() override;

    // Opens the editor, modal over its parent, for the row (none: nothing to crop, "Ok"
    // stores nothing). Returns at once; the record must outlive the session, which ends with
    // finished().
    void Edit(const EditedRow& row);

    EditorPreview& Preview() const { return *preview_; }
    TRectTracker& RectTracker() const { return *rectTracker_; }
    // Where the picture is shown, in the tracker's coordinates; nothing until it is.
    const std::optional<app::TBounds>& Display() const { return display_; }

protected:
    void done(int result) override;

private:
    void FormShow();
    // Lays the tracker over the picture just drawn, with the row's bands.
    void PlaceTracker();
    void ShowNoPicture();
    void RectTrackerMouseMove();
    void SpinChange(app::TCropSide side);
    void btnResetClick();
    void btnOkClick();
    app::TCropBands SpinValues() const;
    // Writes the spin edits without running their change handlers.
    void SetSpinValues(const app::TCropBands& bands);
    QSpinBox* Spin(app::TCropSide side) const;

    std::unique_ptr<component::TKivAVConverter> kivAVC_;
    EditorPreview* preview_;
    TRectTracker* rectTracker_;
    QLabel* lblSourceName_;
    QLabel* lblPTS_;
    QLabel* lblLength_;
    QSpinBox* spedUp_;
    QSpinBox* spedDown_;
    QSpinBox* spedLeft_;
    QSpinBox* spedRight_;
    QComboBox* cmbZoom_;
    EditedRow row_;
    std::optional<app::TBounds> display_;
    int sourceWidth_ = 0;
    int sourceHeight_ = 0;
    app::TCropBands last_;
    bool busy_ = false;
};

} // namespace tarnwick::ui
