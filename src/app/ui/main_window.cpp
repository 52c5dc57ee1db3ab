// The main window's creation, show and close, and what the other windows reach of it.
#include "app/ui/main_window.h"

#include "app/core/presets.h"
#include "app/core/settings_keys.h"
#include "app/core/themes.h"
#include "app/ui/handler_guard.h"
#include "app/ui/preview_pane.h"
#include "app/ui/program_icons.h"
#include "app/ui/qt_desktop.h"
#include "app/ui/task_list.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextCursor>
#include <QTimer>

namespace tarnwick::ui {

TfrmMain::TfrmMain(Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), KivAVC(&desktop.Scheduler), desktop_(desktop),
      global_(std::make_unique<app::TGlobalObject>()) {
    setObjectName("frmMain");
    setWindowIcon(ProgramIcon());
    // The window is designed in theme 0; a stored theme replaces it below.
    themes_.SetCurrent(app::DesignTheme);
    form_.Build(*this, rows_, themes_);
    menus_.Build(*this);
    setFixedSize(DesignWidth, DesignHeight);

    QCoreApplication::setApplicationName(QString::fromStdString(global_->ProductName()));
    if (const auto theme = app::ThemeAtStart(app::ReadSkinIndexAtStart(Settings())))
        themes_.SetCurrent(*theme);
    SetApplicationErrorHandler([&messages = desktop_.Messages](std::exception_ptr error) {
        ShowApplicationError(error, messages, ApplicationTitle());
    });
    ConnectHandlers();
}

TfrmMain::~TfrmMain() {
    SetApplicationErrorHandler(nullptr);
    // The controls refer to the rows and the themes, members that go before the window's
    // children would.
    delete takeCentralWidget();
}

void TfrmMain::ConnectHandlers() {
    const auto on = [this](auto* sender, auto signal, void (TfrmMain::*handler)()) {
        connect(sender, signal, this, Guarded([this, handler] { (this->*handler)(); }));
    };
    on(form_.btnAdd, &QPushButton::clicked, &TfrmMain::btnAddClick);
    on(form_.btnRemove, &QPushButton::clicked, &TfrmMain::btnRemoveClick);
    on(form_.btnClear, &QPushButton::clicked, &TfrmMain::btnClearClick);
    on(form_.btnSettings, &QPushButton::clicked, &TfrmMain::btnSettingsClick);
    on(form_.btnOptions, &QPushButton::clicked, &TfrmMain::btnSettingsClick);
    on(form_.btnStart, &QPushButton::clicked, &TfrmMain::btnStartClick);
    on(form_.btnStartBelow, &QPushButton::clicked, &TfrmMain::btnStartClick);
    on(form_.btnExit, &QPushButton::clicked, &TfrmMain::btnExitClick);
    on(form_.btnStop, &QPushButton::clicked, &TfrmMain::btnStopClick);
    on(form_.btnPause, &QPushButton::clicked, &TfrmMain::btnPauseClick);
    on(form_.btnResume, &QPushButton::clicked, &TfrmMain::btnResumeClick);
    on(form_.btnBrows, &QPushButton::clicked, &TfrmMain::btnBrowsClick);
    on(form_.btnOpen, &QPushButton::clicked, &TfrmMain::btnOpenClick);
    // Only the user's choice writes the setting, not the window filling the combo box.
    on(form_.cbOutputFormat, &QComboBox::activated, &TfrmMain::cbOutputFormatChange);
    on(form_.edDirectory, &QLineEdit::textChanged, &TfrmMain::edDirectoryChange);
    connect(form_.lvFiles, &TaskListView::RightButtonPressed, this,
            [this](const QPoint& at) { RunGuarded([&] { lvFilesMouseDown(at); }); });
    on(form_.lvFiles, &TaskListView::doubleClicked, &TfrmMain::lvFilesDblClick);
    ConnectPreview();

    on(menus_.Add1, &QAction::triggered, &TfrmMain::btnAddClick);
    on(menus_.Remove1, &QAction::triggered, &TfrmMain::btnRemoveClick);
    on(menus_.Clear1, &QAction::triggered, &TfrmMain::btnClearClick);
    on(menus_.Start1, &QAction::triggered, &TfrmMain::btnStartClick);
    on(menus_.Settings1, &QAction::triggered, &TfrmMain::btnSettingsClick);
    on(menus_.Exit2, &QAction::triggered, &TfrmMain::btnExitClick);
    on(menus_.Edit2, &QMenu::aboutToShow, &TfrmMain::Edit2Click);
    on(menus_.Crop1, &QAction::triggered, &TfrmMain::Crop1Click);
    on(menus_.Trim1, &QAction::triggered, &TfrmMain::Trim1Click);
    on(menus_.CheckAll1, &QAction::triggered, &TfrmMain::CheckAll1Click);
    on(menus_.UncheckAll1, &QAction::triggered, &TfrmMain::UncheckAll1Click);
    on(menus_.ReserveCheck1, &QAction::triggered, &TfrmMain::ReserveCheck1Click);
    on(menus_.Check1, &QAction::triggered, &TfrmMain::Check1Click);
    on(menus_.Uncheck1, &QAction::triggered, &TfrmMain::Uncheck1Click);
    on(menus_.Preference1, &QAction::triggered, &TfrmMain::Preference1Click);
    on(menus_.Skin1, &QMenu::aboutToShow, &TfrmMain::Skin1Click);
    for (int theme = 0; theme < app::ThemeCount; ++theme)
        connect(menus_.SkinEntries[static_cast<size_t>(theme)], &QAction::triggered, this,
                Guarded([this, theme] { SkinClick(theme); }));
    on(menus_.Help2, &QAction::triggered, &TfrmMain::Help2Click);
    on(menus_.WebSite1, &QAction::triggered, &TfrmMain::WebSite1Click);
    on(menus_.SupportandContact1, &QAction::triggered, &TfrmMain::SupportandContact1Click);
    on(menus_.About, &QAction::triggered, &TfrmMain::AboutClick);
    on(menus_.PopupMenu, &QMenu::aboutToShow, &TfrmMain::PopupMenuPopup);
    on(menus_.Add2, &QAction::triggered, &TfrmMain::btnAddClick);
    on(menus_.Remove2, &QAction::triggered, &TfrmMain::btnRemoveClick);
    on(menus_.Clear2, &QAction::triggered, &TfrmMain::btnClearClick);
    on(menus_.Crop2, &QAction::triggered, &TfrmMain::Crop1Click);
    on(menus_.Trim2, &QAction::triggered, &TfrmMain::Trim1Click);
    on(menus_.VideoInfomation1, &QAction::triggered, &TfrmMain::VideoInfomation1Click);
    on(menus_.Start2, &QAction::triggered, &TfrmMain::btnStartClick);

    // "&Start" (twice) and "&Settings" share Alt+S, and "&Exit" shares Alt+E with the Edit
    // menu: the toolkit would only move the focus between the buttons. Alt+S starts the run
    // and Alt+E opens the menu.
    for (QPushButton* button :
         {form_.btnStart, form_.btnStartBelow, form_.btnSettings, form_.btnExit})
        button->setShortcut(QKeySequence());
    auto* startKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_S), this);
    startKey->setObjectName("StartShortcut");
    connect(startKey, &QShortcut::activated, this, Guarded([this] {
                if (form_.btnStart->isEnabled()) btnStartClick();
            }));
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The steps of the first show; a later show (after a theme switch) keeps the window as
    // the user left it.
    if (shown_) return;
    shown_ = true;
    RunGuarded([this] { FormShow(); });
}

void TfrmMain::FormShow() {
    setFixedSize(DesignWidth, DesignHeight);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    form_.preview->ShowStopped();

    std::vector<std::string> names;
    app::FillPresetList(names);
    for (const std::string& name : names)
        form_.cbOutputFormat->addItem(QString::fromStdString(name));
    form_.cbOutputFormat->setMaxVisibleItems(form_.cbOutputFormat->count());
    // A stored index outside the list selects the first preset (and writes nothing).
    const int preset = app::ReadOutputFormat(Settings());
    form_.cbOutputFormat->setCurrentIndex(preset >= 0 && preset < app::PresetCount ? preset : 0);

    form_.edDirectory->setText(QString::fromStdString(app::ReadOutputFolder(Settings())));
    form_.preview->Timer1->start();
    setWindowTitle(QString::fromStdString(global_->ProductName() + global_->VersionText()));
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    RunGuarded([this] { FormCloseQuery(); });
    event->accept();
}

void TfrmMain::FormCloseQuery() {
    // Jobs may still report while they stop: nothing of theirs reaches a closing window.
    KivAVC.DetachEventHandlers();
    KivAVC.StopJobs();
    form_.preview->Timer1->stop();
}

int TfrmMain::SelectedRow() const { return form_.lvFiles->SelectedRow(); }

app::TlvFilesRecord* TfrmMain::SelectedRecord() {
    const int row = SelectedRow();
    return row < 0 ? nullptr : &rows_.MutableRecord(row);
}

void TfrmMain::SelectRow(int row) {
    form_.lvFiles->SelectRow(row);
    form_.lvFiles->setFocus();
}

int TfrmMain::PresetIndex() const { return form_.cbOutputFormat->currentIndex(); }

void TfrmMain::AddLogLine(const QString& line) {
    // Block by block: the memo's own append would fold a first empty line into its empty
    // document.
    QTextCursor cursor(form_.mmoLog->document());
    cursor.movePosition(QTextCursor::End);
    if (logStarted_) cursor.insertBlock();
    cursor.insertText(line);
    logStarted_ = true;
}

void TfrmMain::SetLogText(const QString& text) {
    form_.mmoLog->setPlainText(text);
    logStarted_ = true;
}

} // namespace tarnwick::ui
