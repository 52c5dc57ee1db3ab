// The editors and dialogs of a row and of the preferences. Their windows come with the
// editors.
#include "app/ui/main_window.h"

namespace tarnwick::ui {

void TfrmMain::Crop1Click() {}
void TfrmMain::Trim1Click() {}
void TfrmMain::VideoInfomation1Click() {}
void TfrmMain::Preference1Click() {}

} // namespace tarnwick::ui
