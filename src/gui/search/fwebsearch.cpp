#include "fwebsearch.h"

#include "common/forms.h"
#include "common/program.h"

#include <QCloseEvent>

namespace harvly {

fWebSearch::fWebSearch(Program &program, QWidget *parent)
    : QMainWindow(parent), m_program(program)
{
    setObjectName(QStringLiteral("fWebSearch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("ProQuest data retrieval and Analysis") + QLatin1Char('-') +
                   program.build().applicationTitle);
    resize(1000, 700);
}

void fWebSearch::closeEvent(QCloseEvent *event)
{
    event->accept();
    MarkFormUnloaded(this);
    if (!IsFormLoaded(QStringLiteral("fFileDownload"))) {
        if (QWidget *cover = FindForm(QStringLiteral("fCover"))) {
            cover->show();
        }
    }
}

} // namespace harvly
