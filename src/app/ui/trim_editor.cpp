#include "app/ui/trim_editor.h"

#include "app/core/message_box.h"
#include "app/core/source_label.h"
#include "app/ui/editor_preview.h"
#include "app/ui/handler_guard.h"
#include "component/av_converter.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

QLineEdit* TimeField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    // Six digits; the colons are the mask's, unfilled places read as blanks.
    field->setInputMask(QStringLiteral("00:00:00; "));
    field->setFixedWidth(80);
    return field;
}

QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

std::string DigitsOf(const QLineEdit& field) {
    return app::DigitsOfTimeField(field.displayText().toStdString());
}

void SetDigits(QLineEdit& field, const std::string& digits) {
    field.setText(QString::fromStdString(app::TimeFieldOfDigits(digits)));
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Return in a time field checks the field; it presses no button.
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmTrim::TfrmTrim(app::TMessageBox& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), kivAVC_(std::make_unique<component::TKivAVConverter>()),
      preview_(new EditorPreview(*kivAVC_, false, this)),
      lblSourceName_(ValueLabel(this, "lblSourceName")), lblPTS_(ValueLabel(this, "lblPTS")),
      lblLength_(ValueLabel(this, "lblLength")),
      maskedtStartTime_(TimeField(this, "maskedtStartTime")),
      maskedtEndTime_(TimeField(this, "maskedtEndTime")),
      maskedtLength_(TimeField(this, "maskedtLength")) {
    setObjectName("frmTrim");
    setWindowTitle(tr("Trim"));
    maskedtLength_->setReadOnly(true);
    maskedtLength_->setBackgroundRole(QPalette::Midlight);
    maskedtLength_->setAutoFillBackground(true);
    maskedtLength_->setFocusPolicy(Qt::NoFocus);
    for (QLineEdit* field : {maskedtStartTime_, maskedtEndTime_})
        field->installEventFilter(this);

    auto* btnReset = Button(this, "btnReset", tr("&Reset"));
    auto* btnDefault = Button(this, "btnDefault", tr("&Default"));
    auto* btnOk = Button(this, "btnOk", tr("Ok"));
    auto* btnCancel = Button(this, "btnCancel", tr("Cancel"));

    auto* source = new QHBoxLayout;
    source->addWidget(new QLabel(tr("Source Name:"), this));
    source->addWidget(lblSourceName_, 1);

    auto* times = new QGridLayout;
    times->addWidget(new QLabel(tr("Length:"), this), 0, 0);
    times->addWidget(lblLength_, 0, 1, 1, 2);
    times->addWidget(new QLabel(tr("Set Start Time:"), this), 1, 0);
    times->addWidget(maskedtStartTime_, 1, 1);
    times->addWidget(new QLabel(tr("(HH:MM:SS)"), this), 1, 2);
    times->addWidget(new QLabel(tr("Set End Time:"), this), 2, 0);
    times->addWidget(maskedtEndTime_, 2, 1);
    times->addWidget(new QLabel(tr("Trim Length:"), this), 3, 0);
    times->addWidget(maskedtLength_, 3, 1);
    auto* resets = new QHBoxLayout;
    resets->addWidget(btnReset);
    resets->addWidget(btnDefault);
    resets->addStretch();
    times->addLayout(resets, 4, 0, 1, 3);
    times->setRowStretch(5, 1);

    auto* position = new QHBoxLayout;
    position->addWidget(new QLabel(tr("Tiem:"), this));
    position->addWidget(lblPTS_, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(preview_);
    left->addLayout(position);

    auto* editing = new QHBoxLayout;
    editing->addLayout(left);
    editing->addSpacing(12);
    editing->addLayout(times, 1);

    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(btnOk);
    closing->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(source);
    layout->addLayout(editing);
    layout->addLayout(closing);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(preview_, &EditorPreview::TimeChanged, lblPTS_, &QLabel::setText);
    connect(btnReset, &QPushButton::clicked, this, Guarded([this] { btnResetClick(); }));
    connect(btnDefault, &QPushButton::clicked, this, Guarded([this] { btnResetClick(); }));
    connect(btnOk, &QPushButton::clicked, this, Guarded([this] { btnOkClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmTrim::~TfrmTrim() = default;

void TfrmTrim::Edit(const EditedRow& row) {
    row_ = row;
    FormShow();
    open();
}

void TfrmTrim::FormShow() {
    lblSourceName_->clear();
    lblPTS_->clear();
    lblLength_->clear();
    times_ = {};
    if (!row_.Record) {
        preview_->Clear();
        ShowFields(app::TrimFieldsForRow({}, 0));
        return;
    }
    const app::TlvFilesRecord& record = *row_.Record;
    // A file that cannot be opened has no known length: nothing of it can be trimmed.
    const bool opened = preview_->Load(record.SourceFile);
    const int64_t durationMs = opened ? app::TrimDurationMs(preview_->DurationUs()) : 0;
    if (preview_->HasVideo()) {
        preview_->ShowAt(10);
        preview_->StartPlaying();
    }
    lblSourceName_->setText(QString::fromStdString(app::EditorSourceLabel(record.SourceFile)));
    ShowFields(app::TrimFieldsForRow(record, durationMs));
    if (opened)
        lblLength_->setText(QString::fromStdString(app::DurationLabel(preview_->DurationUs())));
}

void TfrmTrim::ShowFields(const app::TTrimFields& fields) {
    times_ = fields.Times;
    SetDigits(*maskedtStartTime_, fields.Start);
    SetDigits(*maskedtEndTime_, fields.End);
    SetDigits(*maskedtLength_, fields.Length);
}

void TfrmTrim::btnOk1Click() {
    ApplyCheck(app::CheckTrimStart(DigitsOf(*maskedtStartTime_), times_), *maskedtStartTime_);
}

void TfrmTrim::btnOk2Click() {
    ApplyCheck(app::CheckTrimEnd(DigitsOf(*maskedtEndTime_), times_), *maskedtEndTime_);
}

void TfrmTrim::ApplyCheck(const app::TTrimFieldCheck& check, QLineEdit& field) {
    if (!check.Message.empty())
        messages_.ShowMessage(app::WarningCaption, check.Message, app::TMessageIcon::Warning);
    if (check.LengthText) SetDigits(*maskedtLength_, *check.LengthText);
    if (!check.FieldText) return;
    SetDigits(field, *check.FieldText);
    field.setFocus(Qt::OtherFocusReason);
}

bool TfrmTrim::eventFilter(QObject* watched, QEvent* event) {
    const bool start = watched == maskedtStartTime_;
    if (!start && watched != maskedtEndTime_) return QDialog::eventFilter(watched, event);
    bool leaving = false;
    if (event->type() == QEvent::FocusOut) {
        // A message box or menu taking the focus for a moment is not leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        leaving = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        leaving = key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    // The check may show a message and move the focus, which leaves the other field: one check
    // at a time.
    if (leaving && !checking_) {
        checking_ = true;
        RunGuarded([&] { start ? btnOk1Click() : btnOk2Click(); });
        checking_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmTrim::btnOkClick() {
    if (row_.Record) {
        const app::TTrimStore store = app::StoreTrim(times_, row_.Record->DurationSec);
        row_.Record->TrimStart = store.TrimStart;
        row_.Record->TrimLength = store.TrimLength;
        if (row_.SetTrimmedLength) row_.SetTrimmedLength(store.TrimmedLengthText);
    }
    accept();
}

void TfrmTrim::btnResetClick() {
    if (row_.Record) {
        ShowFields(app::ResetTrim(*row_.Record, times_.DurationMs));
        if (row_.SetTrimmedLength) row_.SetTrimmedLength(app::UntrimmedLengthText(*row_.Record));
    }
    maskedtStartTime_->setFocus(Qt::OtherFocusReason);
}

void TfrmTrim::done(int result) {
    preview_->Stop();
    QDialog::done(result);
}

} // namespace tarnwick::ui
