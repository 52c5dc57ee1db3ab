#pragma once
// The picture box of the windows (the preview pane, the progress window, the editors): a canvas
// of the control's size that keeps what was drawn on it. Fill paints all of it; drawing a
// picture stretches it into the rectangle DrawFitted gives for the canvas, so the margins keep
// what was there before.

#include "app/core/picture_fit.h"
#include "platform/bitmap24.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <optional>

namespace tarnwick::ui {

// What a picture box shows around and before a picture (#A6CAF0).
inline constexpr QRgb PictureBackground = 0xA6CAF0;

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // Paints the whole canvas with the colour.
    void Fill(const QColor& colour);
    // Draws the picture scaled to fit and centred; a picture without pixels draws nothing.
    // Returns the rectangle it was drawn into.
    std::optional<QRect> DrawPicture(const QImage& picture);
    std::optional<QRect> DrawPicture(const platform::Bitmap24& picture);

    // Where the last picture went; nothing before the first one or after a Fill.
    std::optional<QRect> DrawnRect() const { return drawnRect_; }
    // What the control shows, at its own size (the "small" snapshot picture).
    const QImage& Canvas() const { return canvas_; }
    void CopyCanvasTo(platform::Bitmap24& bitmap) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage canvas_;
    std::optional<QRect> drawnRect_;
};

} // namespace tarnwick::ui
