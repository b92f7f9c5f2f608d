#include "app/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tarvelin {

namespace {

// A rounded tile with a latency trace: flat, one spike, flat again. Drawn per size rather than scaled from
// one bitmap so that the small sizes keep crisp strokes.
QPixmap IconImage(int size) {
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal margin = s / 16.0;
    const QRectF tile(margin, margin, s - 2 * margin, s - 2 * margin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x5f, 0x9f));
    painter.drawRoundedRect(tile, s / 6.0, s / 6.0);

    QPainterPath trace;
    const qreal base = s * 0.62;
    trace.moveTo(s * 0.16, base);
    trace.lineTo(s * 0.38, base);
    trace.lineTo(s * 0.48, s * 0.24);
    trace.lineTo(s * 0.58, s * 0.78);
    trace.lineTo(s * 0.66, base);
    trace.lineTo(s * 0.84, base);
    QPen pen(QColor(0x7c, 0xf0, 0x8c), std::max(1.5, s / 12.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(trace);
    return image;
}

}  // namespace

QIcon AppIcon() {
    QIcon icon;
    for (int size : kIconSizes) icon.addPixmap(IconImage(size));
    return icon;
}

}  // namespace tarvelin
