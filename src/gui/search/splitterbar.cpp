#include "splitterbar.h"

#include <QMouseEvent>
#include <QPainter>

namespace harvly {

SplitterBar::SplitterBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PicBar"));
    setCursor(Qt::SizeVerCursor);
}

void SplitterBar::mousePressEvent(QMouseEvent *event)
{
    raise();
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_lastY = event->globalPosition().toPoint().y();
    }
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        const int y = event->globalPosition().toPoint().y();
        emit dragged(y - m_lastY);
        m_lastY = y;
    }
}

void SplitterBar::mouseReleaseEvent(QMouseEvent *)
{
    if (m_dragging) {
        m_dragging = false;
        emit released();
    }
}

void SplitterBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window().color().darker(108));
    p.setPen(palette().mid().color());
    const int y = height() / 2;
    for (int x = width() / 2 - 12; x <= width() / 2 + 12; x += 6) {
        p.drawPoint(x, y);
    }
}

} // namespace harvly
