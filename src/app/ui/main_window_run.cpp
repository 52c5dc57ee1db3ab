// The settings dialog, the conversion run with its hidden run buttons, and the preview of the
// selected row. Their windows come with the run.
#include "app/ui/main_window.h"

namespace tarnwick::ui {

void TfrmMain::btnStartClick() {}
void TfrmMain::btnSettingsClick() {}
void TfrmMain::btnStopClick() {}
void TfrmMain::btnPauseClick() {}
void TfrmMain::btnResumeClick() {}
void TfrmMain::PreviewSelectedRow() {}

} // namespace tarnwick::ui
