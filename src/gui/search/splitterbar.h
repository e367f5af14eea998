#pragma once

#include <QWidget>

namespace harvly {

// The bar between the browser and the result list; dragging it moves its top, and the
// window lays itself out again when the button is released.
class SplitterBar final : public QWidget
{
    Q_OBJECT

public:
    explicit SplitterBar(QWidget *parent = nullptr);

signals:
    void dragged(int dy);
    void released();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_lastY = 0;
    bool m_dragging = false;
};

} // namespace harvly
