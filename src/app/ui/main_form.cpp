#include "app/ui/main_form.h"

#include "app/ui/preview_pane.h"
#include "app/ui/program_icons.h"
#include "app/ui/task_list.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarnwick::ui {
namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption,
                    const QRect& geometry, const QIcon& icon = {}) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    if (!icon.isNull()) {
        button->setIcon(icon);
        button->setIconSize(QSize(16, 16));
    }
    return button;
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

} // namespace

void MainForm::Build(QMainWindow& window, TaskListModel& rows, const ThemeManager& themes) {
    auto* client = new QWidget(&window);
    client->setObjectName("pnlClient");
    window.setCentralWidget(client);

    constexpr int buttonTop = 8;
    constexpr int buttonWidth = 92;
    constexpr int buttonHeight = 30;
    auto commandButton = [&](const char* name, const QString& caption, int slot,
                             const QIcon& icon) {
        return Button(client, name, caption,
                      QRect(8 + slot * (buttonWidth + 6), buttonTop, buttonWidth, buttonHeight),
                      icon);
    };
    btnAdd = commandButton("btnAdd", "&Add", 0, AddIcon());
    btnRemove = commandButton("btnRemove", "&Remove", 1, RemoveIcon());
    btnClear = commandButton("btnClear", "&Clear", 2, ClearIcon());
    btnSettings = commandButton("btnSettings", "&Settings", 3, SettingsIcon());
    btnStart = commandButton("btnStart", "&Start", 4, StartIcon());
    btnExit = Button(client, "btnExit", "&Exit", QRect(686, buttonTop, buttonWidth, buttonHeight),
                     ExitIcon());
    // Until a file is added there is nothing to remove, clear or convert.
    btnRemove->setEnabled(false);
    btnClear->setEnabled(false);
    btnStart->setEnabled(false);

    btnStop = Button(client, "btnStop", "Stop", QRect(8, 500, 70, 24));
    btnPause = Button(client, "btnPause", "Pause", QRect(82, 500, 70, 24));
    btnResume = Button(client, "btnResume", "Resume", QRect(156, 500, 70, 24));
    for (QPushButton* hidden : {btnStop, btnPause, btnResume})
        hidden->hide();

    const QRect listArea(8, 48, 522, 376);
    mmoLog = new QPlainTextEdit(client);
    mmoLog->setObjectName("mmoLog");
    mmoLog->setGeometry(listArea);
    mmoLog->setReadOnly(true);
    mmoLog->hide();
    lvFiles = new TaskListView(rows, themes, client);
    lvFiles->setObjectName("lvFiles");
    lvFiles->setGeometry(listArea);

    preview = new PreviewPane(client);
    preview->setGeometry(538, 42, 240, 310);

    btnStartBelow =
        Button(client, "btnStartBelow", "&Start", QRect(538, 360, 240, 64), StartIcon());
    btnStartBelow->setIconSize(QSize(24, 24));
    QFont bigger = btnStartBelow->font();
    bigger.setBold(true);
    bigger.setPointSizeF(bigger.pointSizeF() * 1.25);
    btnStartBelow->setFont(bigger);
    btnStartBelow->setEnabled(false);

    lblOutputFormat = Label(client, "lblOutputFormat", "Output Format:", QRect(8, 438, 104, 24));
    cbOutputFormat = new QComboBox(client);
    cbOutputFormat->setObjectName("cbOutputFormat");
    cbOutputFormat->setGeometry(116, 436, 560, 28);
    btnOptions = Button(client, "btnOptions", "Settings", QRect(686, 436, buttonWidth, 28));

    lblDirectory = Label(client, "lblDirectory", "Output Folder:", QRect(8, 474, 104, 24));
    edDirectory = new QLineEdit(client);
    edDirectory->setObjectName("edDirectory");
    edDirectory->setGeometry(116, 472, 464, 28);
    edDirectory->setReadOnly(true);
    // Read-only: drawn in the theme's light face colour rather than as a field to type in.
    edDirectory->setStyleSheet("QLineEdit { background: palette(window); }");
    btnBrows = Button(client, "btnBrows", "Brows", QRect(588, 472, buttonWidth, 28));
    btnOpen = Button(client, "btnOpen", "Open", QRect(686, 472, buttonWidth, 28));
}

} // namespace tarnwick::ui
