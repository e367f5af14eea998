#pragma once

#include <QMainWindow>

namespace harvly {

class Program;

// The search window: the site in an embedded browser above the result list.
class fWebSearch final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fWebSearch)

public:
    explicit fWebSearch(Program &program, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Program &m_program;
};

} // namespace harvly
