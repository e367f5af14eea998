#pragma once

#include <QLabel>

namespace harvly {

// A one-line label for a status bar: a long text is cut with "…" to the room there is, and
// never asks the window to grow. text() keeps the whole text; the tool tip shows it.
class ElidedLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElidedLabel)

public:
    explicit ElidedLabel(QWidget *parent = nullptr);
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace harvly
