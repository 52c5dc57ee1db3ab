#include "app/ui/folder_chooser.h"

#include "app/ui/handler_guard.h"
#include "app/ui/qt_desktop.h"
#include "platform/optical_disc.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include <unistd.h>

namespace tarnwick::ui {

namespace {

bool UserCanWrite(const std::string& folder) { return access(folder.c_str(), W_OK | X_OK) == 0; }

} // namespace

TfmDirectory::TfmDirectory(app::TMessageBox& messages, QWidget* parent, FolderChecks checks)
    : QDialog(parent), messages_(messages), checks_(std::move(checks)),
      folders_(new QFileSystemModel(this)) {
    if (!checks_.IsWritable) checks_.IsWritable = UserCanWrite;
    if (!checks_.IsOnOpticalDisc) checks_.IsOnOpticalDisc = platform::IsOnOpticalDisc;
    setObjectName("fmDirectory");
    setWindowTitle("Brows");
    setFixedSize(322, 351);

    Label1 = new QLabel("Please select an output directory:", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(10, 8, 302, 18);

    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setRootPath("/");
    stview_selectdir = new QTreeView(this);
    stview_selectdir->setObjectName("stview_selectdir");
    stview_selectdir->setGeometry(10, 30, 302, 270);
    stview_selectdir->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        stview_selectdir->hideColumn(column);
    stview_selectdir->header()->hide();
    stview_selectdir->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(stview_selectdir->selectionModel(), &QItemSelectionModel::currentChanged, this,
            Guarded([this] { UpdateOk(); }));
    // The tree reads folders in the background: once the folders on the way to the selected
    // one are there, it can be shown.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, Guarded([this] {
                stview_selectdir->scrollTo(stview_selectdir->currentIndex(),
                                           QAbstractItemView::PositionAtCenter);
            }));

    btnOk = new QPushButton("Ok", this);
    btnOk->setObjectName("btnOk");
    btnOk->setGeometry(146, 312, 80, 28);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(232, 312, 80, 28);
    connect(btnCancel, &QPushButton::clicked, this, Guarded([this] { btnCancelClick(); }));
}

QString TfmDirectory::SelectedFolder() const {
    const QModelIndex current = stview_selectdir->currentIndex();
    return current.isValid() ? folders_->filePath(current) : QString();
}

void TfmDirectory::SelectFolder(const QString& folder) {
    const QModelIndex index = folders_->index(folder);
    if (!index.isValid()) return;
    stview_selectdir->setCurrentIndex(index);
    stview_selectdir->scrollTo(index, QAbstractItemView::PositionAtCenter);
    UpdateOk();
}

void TfmDirectory::showEvent(QShowEvent* event) {
    chosenFolder_.clear();
    SelectFolder(QDir::homePath());
    QDialog::showEvent(event);
}

void TfmDirectory::UpdateOk() {
    // A folder that cannot take files is no output folder.
    const QString folder = SelectedFolder();
    btnOk->setEnabled(!folder.isEmpty() &&
                      checks_.IsWritable(QFile::encodeName(folder).toStdString()));
}

void TfmDirectory::btnOkClick() {
    chosenFolder_ = SelectedFolder();
    if (checks_.IsOnOpticalDisc(QFile::encodeName(chosenFolder_).toStdString())) {
        chosenFolder_.clear();
        messages_.ShowMessage(
            ApplicationTitle().toStdString(),
            "Output folder cannot be located in CD-ROM.Please select another folder.",
            app::TMessageIcon::Information);
        return;
    }
    accept();
}

void TfmDirectory::btnCancelClick() {
    chosenFolder_.clear();
    reject();
}

} // namespace tarnwick::ui
