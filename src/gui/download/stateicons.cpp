#include "stateicons.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace harvly {

namespace {

QIcon draw(int state)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (state) {
    case 0: // waiting: a grey clock
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
        p.setBrush(QColor(0xF0, 0xF0, 0xF0));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.drawLine(QPointF(8, 8), QPointF(8, 4));
        p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
        break;
    case 1: { // downloading: a blue arrow down
        QPainterPath arrow;
        arrow.moveTo(8, 15);
        arrow.lineTo(2, 8);
        arrow.lineTo(5.5, 8);
        arrow.lineTo(5.5, 1);
        arrow.lineTo(10.5, 1);
        arrow.lineTo(10.5, 8);
        arrow.lineTo(14, 8);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(0x0D, 0x47, 0xA1), 1));
        p.setBrush(QColor(0x42, 0x8B, 0xE6));
        p.drawPath(arrow);
        break;
    }
    case 2: // finished: a green tick
        p.setPen(QPen(QColor(0x2E, 0x7D, 0x32), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
        break;
    default: // failed: a red cross
        p.setPen(QPen(QColor(0xC6, 0x28, 0x28), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 3), QPointF(13, 13));
        p.drawLine(QPointF(13, 3), QPointF(3, 13));
        break;
    }
    return QIcon(pixmap);
}

} // namespace

std::array<QVariant, 4> StateIcons()
{
    return {QVariant(draw(0)), QVariant(draw(1)), QVariant(draw(2)), QVariant(draw(3))};
}

} // namespace harvly
