#include "app/ui/preference_dialog.h"

#include "app/core/message_box.h"
#include "app/core/settings_keys.h"
#include "app/ui/desktop.h"
#include "app/ui/handler_guard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

const char* const QualityHint =
    "Use Compression Quality to set the compression quality of the \n"
    "JPEG image when writing out a snapshot jpeg image. Higher compression \n"
    "results in a poorer picture quality, but a smaller file size. \n"
    "\n"
    " The higher the Compression Quality value (up to a maximum of 100), \n"
    "the better the image quality, but the larger the file size. \n"
    "The lower the Compression Quality value (to a minimum of 1),\n"
    " the smaller the resulting file size, but at the expense of picture quality.";

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

TfrmPreference::TfrmPreference(platform::IniStore settings, FileChooser& files, UrlOpener& urls,
                               app::TMessageBox& messages, QWidget* parent)
    : QDialog(parent), settings_(std::move(settings)), files_(files), urls_(urls),
      messages_(messages), edtSnapDirectory_(new QLineEdit(this)),
      ckFullSize_(Box(this, "ckFullSize", tr("Full Size"))),
      ckSmallSize_(Box(this, "ckSmallSize", tr("Small Size"))),
      ckBmp_(Box(this, "ckBmp", tr("BMP"))), ckJpg_(Box(this, "ckJpg", tr("JPG"))),
      trcCmp_(new QSlider(Qt::Horizontal, this)), spedCmp_(new QSpinBox(this)),
      rdGrpPriority_(new QButtonGroup(this)) {
    setObjectName("frmPreference");
    setWindowTitle(tr("Preference"));
    setFixedSize(480, 390);
    edtSnapDirectory_->setObjectName("edtSnapDirectory");
    edtSnapDirectory_->setReadOnly(true);
    edtSnapDirectory_->setBackgroundRole(QPalette::Midlight);
    edtSnapDirectory_->setAutoFillBackground(true);
    trcCmp_->setObjectName("trcCmp");
    trcCmp_->setRange(app::MinimumQuality, app::MaximumQuality);
    trcCmp_->setTickPosition(QSlider::TicksBelow);
    trcCmp_->setTickInterval(10);
    spedCmp_->setObjectName("spedCmp");
    spedCmp_->setRange(app::MinimumQuality, app::MaximumQuality);
    spedCmp_->findChild<QLineEdit*>()->setReadOnly(true);
    spedCmp_->setToolTip(tr(QualityHint));

    auto* btnBrows = Button(this, "btnBrows", tr("&Brows"));
    auto* btnOpen = Button(this, "btnOpen", tr("&Open"));
    auto* btnOk = Button(this, "btnOk", tr("&Ok"));
    btnOk->setDefault(true);
    auto* btnCancel = Button(this, "btnCancel", tr("&Cancel"));
    auto* btnDefault = Button(this, "btnDefault", tr("&Default"));

    auto* snapshot = new QGroupBox(tr("Snapshot"), this);
    auto* snapshotLines = new QGridLayout(snapshot);
    snapshotLines->addWidget(new QLabel(tr("Snapshot folder:"), snapshot), 0, 0, 1, 4);
    auto* folder = new QHBoxLayout;
    folder->addWidget(edtSnapDirectory_, 1);
    folder->addWidget(btnBrows);
    folder->addWidget(btnOpen);
    snapshotLines->addLayout(folder, 1, 0, 1, 4);
    snapshotLines->addWidget(new QLabel(tr("Snapshot size:"), snapshot), 2, 0);
    snapshotLines->addWidget(ckFullSize_, 2, 1);
    snapshotLines->addWidget(ckSmallSize_, 2, 2);
    snapshotLines->addWidget(new QLabel(tr("Snapshot format:"), snapshot), 3, 0);
    snapshotLines->addWidget(ckBmp_, 3, 1);
    snapshotLines->addWidget(ckJpg_, 3, 2);
    snapshotLines->addWidget(new QLabel(tr("Jpg Compression Quality:"), snapshot), 4, 0, 1, 4);
    auto* quality = new QHBoxLayout;
    quality->addWidget(trcCmp_, 1);
    quality->addWidget(spedCmp_);
    snapshotLines->addLayout(quality, 5, 0, 1, 4);
    snapshotLines->addWidget(
        new QLabel(tr("(The higher the value, the better the image quality.)"), snapshot), 6, 0, 1,
        4);
    snapshotLines->setColumnStretch(3, 1);

    auto* priority = new QGroupBox(tr("Work priority"), this);
    priority->setObjectName("rdGrpPriority");
    auto* priorityItems = new QHBoxLayout(priority);
    const char* const items[] = {"Idle", "Normal", "Lower", "Lowest"};
    for (int index = 0; index < 4; ++index) {
        auto* item = new QRadioButton(tr(items[index]), priority);
        rdGrpPriority_->addButton(item, index);
        priorityItems->addWidget(item);
    }

    auto* closing = new QHBoxLayout;
    closing->addWidget(btnDefault);
    closing->addStretch();
    closing->addWidget(btnOk);
    closing->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(snapshot);
    layout->addWidget(priority);
    layout->addStretch();
    layout->addLayout(closing);

    connect(ckFullSize_, &QCheckBox::clicked, this,
            Guarded([this] { KeepOneTicked(*ckFullSize_, *ckSmallSize_); }));
    connect(ckSmallSize_, &QCheckBox::clicked, this,
            Guarded([this] { KeepOneTicked(*ckSmallSize_, *ckFullSize_); }));
    connect(ckBmp_, &QCheckBox::clicked, this,
            Guarded([this] { KeepOneTicked(*ckBmp_, *ckJpg_); }));
    connect(ckJpg_, &QCheckBox::clicked, this, Guarded([this] {
                KeepOneTicked(*ckJpg_, *ckBmp_);
                EnableQuality();
            }));
    connect(trcCmp_, &QSlider::valueChanged, spedCmp_, &QSpinBox::setValue);
    connect(spedCmp_, &QSpinBox::valueChanged, trcCmp_, &QSlider::setValue);
    connect(btnBrows, &QPushButton::clicked, this, Guarded([this] { btnBrowsClick(); }));
    connect(btnOpen, &QPushButton::clicked, this, Guarded([this] { btnOpenClick(); }));
    connect(btnDefault, &QPushButton::clicked, this,
            Guarded([this] { Show(app::DefaultPreferences()); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmPreference::Edit() {
    FormShow();
    open();
}

void TfrmPreference::FormShow() { Show(app::ReadPreferences(settings_, Shown())); }

app::TPreferences TfrmPreference::Shown() const {
    app::TPreferences values;
    values.SnapshotFolder = edtSnapDirectory_->text().toStdString();
    values.FullSize = ckFullSize_->isChecked();
    values.SmallSize = ckSmallSize_->isChecked();
    values.Bmp = ckBmp_->isChecked();
    values.Jpg = ckJpg_->isChecked();
    values.Quality = spedCmp_->value();
    values.Priority = rdGrpPriority_->checkedId();
    return values;
}

void TfrmPreference::Show(const app::TPreferences& values) {
    edtSnapDirectory_->setText(QString::fromStdString(values.SnapshotFolder));
    ckFullSize_->setChecked(values.FullSize);
    ckSmallSize_->setChecked(values.SmallSize);
    ckBmp_->setChecked(values.Bmp);
    ckJpg_->setChecked(values.Jpg);
    EnableQuality();
    spedCmp_->setValue(values.Quality);
    if (QAbstractButton* item = rdGrpPriority_->button(values.Priority)) {
        item->setChecked(true);
    } else if (QAbstractButton* checked = rdGrpPriority_->checkedButton()) {
        // None chosen: an exclusive group only lets go of its item while it is not exclusive.
        rdGrpPriority_->setExclusive(false);
        checked->setChecked(false);
        rdGrpPriority_->setExclusive(true);
    }
}

void TfrmPreference::KeepOneTicked(QCheckBox& clicked, const QCheckBox& partner) {
    clicked.setChecked(app::KeepOneTicked(clicked.isChecked(), partner.isChecked()));
}

void TfrmPreference::EnableQuality() {
    trcCmp_->setEnabled(ckJpg_->isChecked());
    spedCmp_->setEnabled(ckJpg_->isChecked());
}

void TfrmPreference::btnBrowsClick() {
    const QString chosen = files_.ChooseFolder(this);
    if (chosen.isEmpty() || chosen == edtSnapDirectory_->text()) return;
    app::WriteSnapshotFolder(settings_, chosen.toStdString());
    edtSnapDirectory_->setText(chosen);
}

void TfrmPreference::btnOpenClick() {
    if (edtSnapDirectory_->text().size() <= 2) return;
    urls_.OpenUrl(QUrl::fromLocalFile(QString::fromStdString(app::ReadSnapshotFolder(settings_))));
}

void TfrmPreference::btnOkClick() {
    if (!app::WritePreferences(settings_, Shown())) {
        messages_.ShowMessage(app::WarningCaption,
                              "Cannot write the settings file " + settings_.Path() + ".",
                              app::TMessageIcon::Warning);
        return;
    }
    accept();
}

} // namespace tarnwick::ui
