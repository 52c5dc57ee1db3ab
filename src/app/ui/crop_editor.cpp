#include "app/ui/crop_editor.h"

#include "app/core/source_label.h"
#include "app/ui/editor_preview.h"
#include "app/ui/handler_guard.h"
#include "app/ui/picture_view.h"
#include "app/ui/rect_tracker.h"
#include "component/av_converter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

QSpinBox* BandSpin(QWidget* parent, const char* name) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    // The bands have no limits of their own: the tracker's minimum size bounds them.
    spin->setRange(0, 99999);
    // Only the arrows change a band; typing is switched off.
    spin->findChild<QLineEdit*>()->setReadOnly(true);
    return spin;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

TfrmCrop::TfrmCrop(QWidget* parent)
    : QDialog(parent), kivAVC_(std::make_unique<component::TKivAVConverter>()),
      preview_(new EditorPreview(*kivAVC_, true, this)),
      rectTracker_(new TRectTracker(&preview_->Picture())),
      lblSourceName_(ValueLabel(this, "lblSourceName")), lblPTS_(ValueLabel(this, "lblPTS")),
      lblLength_(ValueLabel(this, "lblLength")), spedUp_(BandSpin(this, "spedUp")),
      spedDown_(BandSpin(this, "spedDown")), spedLeft_(BandSpin(this, "spedLeft")),
      spedRight_(BandSpin(this, "spedRight")), cmbZoom_(new QComboBox(this)) {
    setObjectName("frmCrop");
    setWindowTitle(tr("Crop"));
    rectTracker_->setObjectName("RectTracker");
    rectTracker_->hide();
    cmbZoom_->setObjectName("cmbZoom");
    cmbZoom_->addItems(
        {tr("Letter Box"), tr("Center"), tr("Full Screen"), tr("Keep Original(crop and pan)")});
    // The fit is kept per row but not offered here.
    auto* lblZoom = new QLabel(tr("Zoom"), this);
    lblZoom->hide();
    cmbZoom_->hide();

    auto* btnReset = Button(this, "btnReset", tr("Reset"));
    auto* btnDefault = Button(this, "btnDefault", tr("&Default"));
    auto* btnOk = Button(this, "btnOk", tr("Ok"));
    auto* btnCancel = Button(this, "btnCancel", tr("Cancel"));

    auto* source = new QHBoxLayout;
    source->addWidget(new QLabel(tr("Source File:"), this));
    source->addWidget(lblSourceName_, 1);

    auto* facts = new QGridLayout;
    facts->addWidget(new QLabel(tr("Time:"), this), 0, 0);
    facts->addWidget(lblPTS_, 0, 1);
    facts->addWidget(new QLabel(tr("Length:"), this), 1, 0);
    facts->addWidget(lblLength_, 1, 1);
    facts->setColumnStretch(1, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(preview_);
    left->addLayout(facts);

    auto* cropSize = new QGroupBox(tr("Crop Size"), this);
    auto* bands = new QGridLayout(cropSize);
    const std::pair<const char*, QSpinBox*> spins[] = {
        {"Up", spedUp_}, {"Down", spedDown_}, {"Left", spedLeft_}, {"Right", spedRight_}};
    int line = 0;
    for (const auto& [caption, spin] : spins) {
        bands->addWidget(new QLabel(tr(caption), cropSize), line, 0);
        bands->addWidget(spin, line++, 1);
    }
    bands->addWidget(btnReset, line, 0, 1, 2);
    auto* right = new QVBoxLayout;
    right->addWidget(cropSize);
    right->addWidget(lblZoom);
    right->addWidget(cmbZoom_);
    right->addStretch();

    auto* editing = new QHBoxLayout;
    editing->addLayout(left);
    editing->addSpacing(12);
    editing->addLayout(right);

    auto* closing = new QHBoxLayout;
    closing->addWidget(btnDefault);
    closing->addStretch();
    closing->addWidget(btnOk);
    closing->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(source);
    layout->addLayout(editing);
    layout->addLayout(closing);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(preview_, &EditorPreview::TimeChanged, lblPTS_, &QLabel::setText);
    connect(rectTracker_, &TRectTracker::OnMouseMove, this,
            Guarded([this] { RectTrackerMouseMove(); }));
    for (const app::TCropSide side : {app::csUp, app::csDown, app::csLeft, app::csRight})
        connect(Spin(side), &QSpinBox::valueChanged, this,
                Guarded([this, side] { SpinChange(side); }));
    connect(btnReset, &QPushButton::clicked, this, Guarded([this] { btnResetClick(); }));
    connect(btnDefault, &QPushButton::clicked, this, Guarded([this] { btnResetClick(); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmCrop::~TfrmCrop() = default;

void TfrmCrop::Edit(const EditedRow& row) {
    row_ = row;
    FormShow();
    open();
}

void TfrmCrop::FormShow() {
    lblSourceName_->clear();
    lblPTS_->clear();
    lblLength_->clear();
    display_.reset();
    ShowNoPicture();
    if (!row_.Record) {
        preview_->Clear();
        return;
    }
    const app::TlvFilesRecord& record = *row_.Record;
    cmbZoom_->setCurrentIndex(app::ZoomIndexOfMode(record.ZoomMode));
    const bool opened = preview_->Load(record.SourceFile);
    if (preview_->HasVideo()) {
        preview_->ShowAt(10, [this] { PlaceTracker(); });
        preview_->StartPlaying();
    }
    lblSourceName_->setText(QString::fromStdString(app::EditorSourceLabel(record.SourceFile)));
    if (opened)
        lblLength_->setText(QString::fromStdString(app::DurationLabel(preview_->DurationUs())));
}

void TfrmCrop::ShowNoPicture() {
    rectTracker_->hide();
    rectTracker_->setEnabled(false);
    SetSpinValues({});
    last_ = {};
    for (const app::TCropSide side : {app::csUp, app::csDown, app::csLeft, app::csRight})
        Spin(side)->setEnabled(false);
}

void TfrmCrop::PlaceTracker() {
    const std::optional<QRect> drawn = preview_->Picture().DrawnRect();
    if (!drawn || !row_.Record) return;
    sourceWidth_ = preview_->LastPicture().Width();
    sourceHeight_ = preview_->LastPicture().Height();
    // The tracker lies on the picture view, so the view's corner is the origin.
    display_ = app::CropDisplayArea(
        {drawn->left(), drawn->top(), drawn->right() + 1, drawn->bottom() + 1}, 0, 0);
    const app::TCropBands bands =
        app::DisplayBandsOfRow(*row_.Record, sourceWidth_, sourceHeight_, *display_);
    SetSpinValues(bands);
    last_ = bands;
    rectTracker_->SetLimit(display_);
    rectTracker_->SetBounds(app::TrackerOfBands(*display_, bands));
    rectTracker_->setEnabled(true);
    rectTracker_->show();
    for (const app::TCropSide side : {app::csUp, app::csDown, app::csLeft, app::csRight})
        Spin(side)->setEnabled(true);
}

void TfrmCrop::RectTrackerMouseMove() {
    if (!display_) return;
    last_ = app::BandsOfTracker(*display_, rectTracker_->Bounds());
    SetSpinValues(last_);
}

void TfrmCrop::SpinChange(app::TCropSide side) {
    if (busy_ || !display_) return;
    const app::TSpinChange change =
        app::ChangeSpinBand(side, SpinValues(), rectTracker_->Bounds(), *display_, last_);
    if (Spin(side)->value() != change.Value) SetSpinValues(last_);
    rectTracker_->SetBounds(change.Tracker);
}

void TfrmCrop::btnResetClick() {
    SetSpinValues({});
    last_ = {};
    if (display_) rectTracker_->SetBounds(*display_);
}

void TfrmCrop::btnOkClick() {
    if (row_.Record) {
        app::TlvFilesRecord& record = *row_.Record;
        if (display_) {
            app::StoreCrop(record, SpinValues(), sourceWidth_, sourceHeight_, *display_,
                           cmbZoom_->currentIndex());
        } else if (!preview_->HasVideo()) {
            // Nothing to crop in a file without pictures.
            record.CropTop = record.CropBottom = record.CropLeft = record.CropRight = 0;
            record.ZoomMode = app::ZoomModeOfIndex(cmbZoom_->currentIndex());
        }
    }
    accept();
}

void TfrmCrop::done(int result) {
    preview_->Stop();
    QDialog::done(result);
}

app::TCropBands TfrmCrop::SpinValues() const {
    return {spedUp_->value(), spedDown_->value(), spedLeft_->value(), spedRight_->value()};
}

void TfrmCrop::SetSpinValues(const app::TCropBands& bands) {
    busy_ = true;
    spedUp_->setValue(bands.Up);
    spedDown_->setValue(bands.Down);
    spedLeft_->setValue(bands.Left);
    spedRight_->setValue(bands.Right);
    busy_ = false;
}

QSpinBox* TfrmCrop::Spin(app::TCropSide side) const {
    switch (side) {
    case app::csUp: return spedUp_;
    case app::csDown: return spedDown_;
    case app::csLeft: return spedLeft_;
    case app::csRight: break;
    }
    return spedRight_;
}

} // namespace tarnwick::ui
