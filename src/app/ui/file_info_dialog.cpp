#include "app/ui/file_info_dialog.h"

#include "app/core/file_adding.h"
#include "app/core/file_info_text.h"
#include "component/av_converter.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

QLineEdit* Box(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setBackgroundRole(QPalette::ToolTipBase);
    box->setAutoFillBackground(true);
    return box;
}

QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

void SetText(QWidget& widget, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (auto* box = qobject_cast<QLineEdit*>(&widget))
        box->setText(shown);
    else if (auto* label = qobject_cast<QLabel*>(&widget))
        label->setText(shown);
}

} // namespace

TfrmFileInfo::TfrmFileInfo(QWidget* parent)
    : QDialog(parent), kivAVC_(std::make_unique<component::TKivAVConverter>()),
      lblSourceName_(ValueLabel(this, "lblSourceName")),
      lblFileLength_(ValueLabel(this, "lblFileLength")), edtFormat_(Box(this, "edtFormat")),
      edtResloution_(Box(this, "edtResloution")), edtBitRate_(Box(this, "edtBitRate")),
      edtFrameRate_(Box(this, "edtFrameRate")), edtTotalFrame_(Box(this, "edtTotalFrame")),
      edtAudioForamt_(Box(this, "edtAudioForamt")), edtAudioBitRate_(Box(this, "edtAudioBitRate")),
      edtSampleRate_(Box(this, "edtSampleRate")), edtChannel_(Box(this, "edtChannel")) {
    setObjectName("frmFileInfo");
    setWindowTitle(tr("File infomation"));
    setFixedSize(420, 460);
    lblSourceName_->setFixedWidth(270);

    auto* file = new QFormLayout;
    file->addRow(tr("File Name:"), lblSourceName_);
    file->addRow(tr("Duration:"), lblFileLength_);

    auto* video = new QGroupBox(tr("Video "), this);
    auto* videoBoxes = new QFormLayout(video);
    videoBoxes->addRow(tr("Format:"), edtFormat_);
    videoBoxes->addRow(tr("Resloution:"), edtResloution_);
    videoBoxes->addRow(tr("Bit Rate:"), edtBitRate_);
    videoBoxes->addRow(tr("Frame Rate:"), edtFrameRate_);
    videoBoxes->addRow(tr("Total Frame:"), edtTotalFrame_);

    auto* audio = new QGroupBox(tr("Audio"), this);
    auto* audioBoxes = new QFormLayout(audio);
    audioBoxes->addRow(tr("Format:"), edtAudioForamt_);
    audioBoxes->addRow(tr("Bit Rate:"), edtAudioBitRate_);
    audioBoxes->addRow(tr("Sample Rate:"), edtSampleRate_);
    audioBoxes->addRow(tr("Channel:"), edtChannel_);

    auto* btn1 = new QPushButton(tr("&Ok"), this);
    btn1->setObjectName("btn1");
    btn1->setDefault(true);
    btn1->setFocus();
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(btn1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(file);
    layout->addWidget(video);
    layout->addWidget(audio);
    layout->addStretch();
    layout->addLayout(closing);

    connect(btn1, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmFileInfo::~TfrmFileInfo() = default;

void TfrmFileInfo::ShowFile(const EditedRow& row) {
    FormShow(row.Record);
    open();
}

void TfrmFileInfo::FormShow(const app::TlvFilesRecord* record) {
    ShowTexts({});
    if (!record) return;
    // The rows were added with the libraries loaded: this only attaches the component to them.
    app::LoadLibrariesForAdding(*kivAVC_, [](const std::string&) {});
    kivAVC_->ClearJobs();
    component::TInputOptions options;
    component::ClearInputOptions(options);
    options.FileName = record->SourceFile;
    const int job = kivAVC_->AddJob(record->SourceFile, &options);
    if (!kivAVC_->Probe.Open(record->SourceFile, "")) return;
    // The job's reading of the file gives the stream facts; without a job the dialog's own
    // probe does, which read the same file.
    probe::TAVProbe& streams = job >= 0 ? kivAVC_->JobProbe(job) : kivAVC_->Probe;
    ShowTexts(app::DescribeFileInfo(kivAVC_->Probe, streams));
}

void TfrmFileInfo::ShowTexts(const app::TFileInfoTexts& texts) {
    const std::pair<QWidget*, const std::string*> fields[] = {
        {lblSourceName_, &texts.SourceName},
        {lblFileLength_, &texts.FileLength},
        {edtFormat_, &texts.Format},
        {edtResloution_, &texts.Resolution},
        {edtBitRate_, &texts.BitRate},
        {edtFrameRate_, &texts.FrameRate},
        {edtTotalFrame_, &texts.TotalFrames},
        {edtAudioForamt_, &texts.AudioFormat},
        {edtAudioBitRate_, &texts.AudioBitRate},
        {edtSampleRate_, &texts.SampleRate},
        {edtChannel_, &texts.Channels}};
    for (const auto& [widget, text] : fields)
        SetText(*widget, *text);
}

void TfrmFileInfo::done(int result) {
    kivAVC_->ClearJobs();
    QDialog::done(result);
}

} // namespace tarnwick::ui
