#include "app/ui/program_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace tarnwick::ui {
namespace {

using Drawing = std::function<void(QPainter&, double size)>;

QPixmap Draw(int size, const Drawing& drawing) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing(painter, size);
    return pixmap;
}

QIcon Icon(const Drawing& drawing) {
    QIcon icon;
    for (int size : {16, 20, 24, 32})
        icon.addPixmap(Draw(size, drawing));
    return icon;
}

QPolygonF Triangle(double s) {
    return QPolygonF(
        {QPointF(0.3 * s, 0.18 * s), QPointF(0.82 * s, 0.5 * s), QPointF(0.3 * s, 0.82 * s)});
}

void Play(QPainter& p, double s, const QColor& colour) {
    p.setPen(QPen(colour.darker(140), s / 16));
    p.setBrush(colour);
    p.drawPolygon(Triangle(s));
}

void ProgramDrawing(QPainter& p, double s) {
    QLinearGradient face(0, 0, 0, s);
    face.setColorAt(0, QColor(0x5B, 0x8D, 0xD6));
    face.setColorAt(1, QColor(0x23, 0x4E, 0x9A));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.04 * s, 0.04 * s, 0.92 * s, 0.92 * s), s / 6, s / 6);
    // A film frame with a play sign: a converter of moving pictures.
    p.setBrush(QColor(255, 255, 255, 60));
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(0.12 * s, (0.16 + 0.19 * i) * s, 0.1 * s, 0.1 * s));
        p.drawRect(QRectF(0.78 * s, (0.16 + 0.19 * i) * s, 0.1 * s, 0.1 * s));
    }
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF(
        {QPointF(0.38 * s, 0.3 * s), QPointF(0.68 * s, 0.5 * s), QPointF(0.38 * s, 0.7 * s)}));
}

} // namespace

QPixmap ProgramPicture(int size) { return Draw(size, ProgramDrawing); }

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(ProgramPicture(size));
    return icon;
}

QIcon AddIcon() {
    return Icon([](QPainter& p, double s) {
        p.setPen(QPen(QColor(0x2E, 0x8B, 0x3A), s / 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s / 2, 0.2 * s), QPointF(s / 2, 0.8 * s));
        p.drawLine(QPointF(0.2 * s, s / 2), QPointF(0.8 * s, s / 2));
    });
}

QIcon RemoveIcon() {
    return Icon([](QPainter& p, double s) {
        p.setPen(QPen(QColor(0xC0, 0x39, 0x2B), s / 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.2 * s, s / 2), QPointF(0.8 * s, s / 2));
    });
}

QIcon ClearIcon() {
    return Icon([](QPainter& p, double s) {
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), s / 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.25 * s, 0.25 * s), QPointF(0.75 * s, 0.75 * s));
        p.drawLine(QPointF(0.75 * s, 0.25 * s), QPointF(0.25 * s, 0.75 * s));
    });
}

QIcon SettingsIcon() {
    return Icon([](QPainter& p, double s) {
        // Three sliders.
        p.setPen(QPen(QColor(0x55, 0x55, 0x55), s / 12, Qt::SolidLine, Qt::RoundCap));
        const double knobs[] = {0.35, 0.65, 0.45};
        for (int i = 0; i < 3; ++i) {
            const double y = (0.25 + 0.25 * i) * s;
            p.drawLine(QPointF(0.15 * s, y), QPointF(0.85 * s, y));
            p.setBrush(QColor(0x3D, 0x64, 0xB4));
            p.drawEllipse(QPointF(knobs[i] * s, y), s / 9, s / 9);
        }
    });
}

QIcon StartIcon() {
    return Icon([](QPainter& p, double s) { Play(p, s, QColor(0x2E, 0xA0, 0x44)); });
}

QIcon ExitIcon() {
    return Icon([](QPainter& p, double s) {
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), s / 10));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0.15 * s, 0.15 * s, 0.45 * s, 0.7 * s));
        p.setPen(QPen(QColor(0xC0, 0x39, 0x2B), s / 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0.4 * s, s / 2), QPointF(0.88 * s, s / 2));
        p.drawLine(QPointF(0.72 * s, 0.34 * s), QPointF(0.88 * s, s / 2));
        p.drawLine(QPointF(0.72 * s, 0.66 * s), QPointF(0.88 * s, s / 2));
    });
}

QIcon PlayIcon() {
    return Icon([](QPainter& p, double s) { Play(p, s, QColor(0x2E, 0xA0, 0x44)); });
}

QIcon PauseIcon() {
    return Icon([](QPainter& p, double s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3D, 0x64, 0xB4));
        p.drawRect(QRectF(0.25 * s, 0.2 * s, 0.17 * s, 0.6 * s));
        p.drawRect(QRectF(0.58 * s, 0.2 * s, 0.17 * s, 0.6 * s));
    });
}

QIcon StopIcon() {
    return Icon([](QPainter& p, double s) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xC0, 0x39, 0x2B));
        p.drawRect(QRectF(0.22 * s, 0.22 * s, 0.56 * s, 0.56 * s));
    });
}

QIcon SnapshotIcon() {
    return Icon([](QPainter& p, double s) {
        // A camera.
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), s / 14));
        p.setBrush(QColor(0x9A, 0xA8, 0xB8));
        p.drawRoundedRect(QRectF(0.1 * s, 0.3 * s, 0.8 * s, 0.52 * s), s / 12, s / 12);
        p.drawRect(QRectF(0.34 * s, 0.2 * s, 0.3 * s, 0.12 * s));
        p.setBrush(QColor(0x30, 0x40, 0x55));
        p.drawEllipse(QPointF(s / 2, 0.56 * s), 0.16 * s, 0.16 * s);
    });
}

QPixmap PreviewPlaceholder(const QSize& size) {
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, size.height());
    face.setColorAt(0, QColor(0x2B, 0x3A, 0x55));
    face.setColorAt(1, QColor(0x10, 0x18, 0x28));
    painter.fillRect(pixmap.rect(), face);
    const double s = std::min(size.width(), size.height()) * 0.4;
    painter.translate((size.width() - s) / 2, (size.height() - s) / 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 70));
    painter.drawEllipse(QRectF(0, 0, s, s));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawPolygon(QPolygonF(
        {QPointF(0.38 * s, 0.28 * s), QPointF(0.74 * s, 0.5 * s), QPointF(0.38 * s, 0.72 * s)}));
    return pixmap;
}

} // namespace tarnwick::ui
