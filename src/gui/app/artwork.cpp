#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace harvly {

namespace {

// A small stack of pages with a downward arrow: documents coming home.
void drawDocuments(QPainter &p, const QRectF &box)
{
    const qreal w = box.width() * 0.62;
    const qreal h = box.height() * 0.78;
    for (int i = 2; i >= 0; --i) {
        const QRectF page(box.left() + i * box.width() * 0.09, box.top() + i * box.height() * 0.05,
                          w, h);
        p.setPen(QPen(QColor(0x2E, 0x4A, 0x6B), box.width() / 40.0));
        p.setBrush(i == 0 ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xDC, 0xE6, 0xF2));
        p.drawRoundedRect(page, box.width() / 30.0, box.width() / 30.0);
    }
    p.setPen(QPen(QColor(0x9A, 0xAB, 0xC0), box.width() / 50.0));
    for (int line = 0; line < 4; ++line) {
        const qreal y = box.top() + h * (0.25 + line * 0.14);
        p.drawLine(QPointF(box.left() + w * 0.15, y), QPointF(box.left() + w * 0.8, y));
    }
    const QPointF tip(box.left() + box.width() * 0.74, box.bottom());
    const qreal s = box.width() * 0.2;
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(-s, -s));
    arrow.lineTo(tip + QPointF(-s * 0.4, -s));
    arrow.lineTo(tip + QPointF(-s * 0.4, -s * 2.1));
    arrow.lineTo(tip + QPointF(s * 0.4, -s * 2.1));
    arrow.lineTo(tip + QPointF(s * 0.4, -s));
    arrow.lineTo(tip + QPointF(s, -s));
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x1B, 0x5E, 0x20), box.width() / 60.0));
    p.setBrush(QColor(0x43, 0xA0, 0x47));
    p.drawPath(arrow);
}

} // namespace

QPixmap CoverPicture(const QString &title)
{
    QPixmap pixmap(520, 180);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, pixmap.height());
    sky.setColorAt(0, QColor(0x1F, 0x3A, 0x5F));
    sky.setColorAt(1, QColor(0x3C, 0x6E, 0x9F));
    p.fillRect(pixmap.rect(), sky);
    drawDocuments(p, QRectF(28, 24, 130, 132));

    QFont font = p.font();
    font.setPixelSize(44);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(180, 30, 330, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Harvly"));
    font.setPixelSize(18);
    font.setBold(false);
    p.setFont(font);
    p.setPen(QColor(0xDC, 0xE8, 0xF5));
    p.drawText(QRectF(182, 92, 330, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title);
    return pixmap;
}

QImage ProgramIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawDocuments(p, QRectF(size * 0.08, size * 0.04, size * 0.84, size * 0.9));
    p.end();
    return image;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    }
    return icon;
}

} // namespace harvly
