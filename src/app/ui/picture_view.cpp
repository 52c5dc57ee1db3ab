#include "app/ui/picture_view.h"

#include "app/ui/bitmap_image.h"

#include <QPainter>
#include <QResizeEvent>

namespace tarnwick::ui {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    // The canvas covers every pixel: nothing behind it needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_ = QImage(1, 1, QImage::Format_RGB32);
    canvas_.fill(palette().color(QPalette::Window));
}

void PictureView::Fill(const QColor& colour) {
    // A control not shown yet has its size but has not had its resize event: the canvas takes
    // the size here, so the fill is not lost when the control shows.
    if (canvas_.size() != size())
        canvas_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    canvas_.fill(colour);
    drawnRect_.reset();
    update();
}

std::optional<QRect> PictureView::DrawPicture(const QImage& picture) {
    const auto fitted = app::DrawFitted(app::TRect{0, 0, canvas_.width(), canvas_.height()},
                                        picture.width(), picture.height());
    if (!fitted) return std::nullopt;
    const QRect target(fitted->Left, fitted->Top, fitted->Width(), fitted->Height());
    QPainter painter(&canvas_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    drawnRect_ = target;
    update();
    return target;
}

std::optional<QRect> PictureView::DrawPicture(const platform::Bitmap24& picture) {
    return DrawPicture(ImageFromBitmap(picture));
}

void PictureView::CopyCanvasTo(platform::Bitmap24& bitmap) const {
    CopyImageToBitmap(canvas_, bitmap);
}

void PictureView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
}

void PictureView::resizeEvent(QResizeEvent* event) {
    // A new size keeps the old canvas in its top-left corner.
    QImage resized(event->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    resized.fill(palette().color(QPalette::Window));
    QPainter(&resized).drawImage(0, 0, canvas_);
    canvas_ = resized;
    QWidget::resizeEvent(event);
}

} // namespace tarnwick::ui
