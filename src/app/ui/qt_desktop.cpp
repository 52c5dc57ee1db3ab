#include "app/ui/qt_desktop.h"

#include "app/core/source_filters.h"
#include "app/ui/folder_chooser.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

namespace tarnwick::ui {
namespace {

QMessageBox::Icon BoxIcon(app::TMessageIcon icon) {
    switch (icon) {
    case app::TMessageIcon::Information: return QMessageBox::Information;
    case app::TMessageIcon::Warning: return QMessageBox::Warning;
    case app::TMessageIcon::Error: return QMessageBox::Critical;
    case app::TMessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// "Video Files (*.AVI *.AVM ...)": the dialog's form of a filter.
QStringList DialogFilters() {
    QStringList filters;
    for (const app::TFileFilter& filter : app::SourceFileFilters()) {
        QStringList patterns;
        for (const std::string& pattern : filter.Patterns)
            patterns << QString::fromStdString(pattern);
        filters << QString::fromStdString(filter.Description) + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

} // namespace

QString ApplicationTitle() { return QCoreApplication::applicationName(); }

void QtMessageBox::ShowMessage(const std::string& caption, const std::string& text,
                               app::TMessageIcon icon) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    QMessageBox box(BoxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok, parent);
    box.exec();
}

QStringList QtFileChooser::ChooseSourceFiles(QWidget* parent) {
    QFileDialog dialog(parent, "Open");
    // The toolkit's own dialog: the same on every desktop, and its filters ignore case, so
    // clip.mp4 and CLIP.MP4 both show.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(DialogFilters());
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

QString QtFileChooser::ChooseFolder(QWidget* parent) {
    if (!parent) {
        TfmDirectory chooser(messages_);
        chooser.exec();
        return chooser.ChosenFolder();
    }
    QWidget* owner = parent->window();
    auto* chooser = owner->findChild<TfmDirectory*>();
    if (!chooser) chooser = new TfmDirectory(messages_, owner);
    chooser->exec();
    return chooser->ChosenFolder();
}

void QtUrlOpener::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

QtMainThreadScheduler::QtMainThreadScheduler() = default;

void QtMainThreadScheduler::Post(std::function<void()> work, std::chrono::milliseconds delay) {
    // Queued from any thread; the timer is started on the window thread, which owns it.
    QMetaObject::invokeMethod(
        &context_,
        [this, work = std::move(work), delay]() mutable {
            if (delay.count() <= 0) {
                work();
                return;
            }
            QTimer::singleShot(delay, Qt::PreciseTimer, &context_, std::move(work));
        },
        Qt::QueuedConnection);
}

} // namespace tarnwick::ui
