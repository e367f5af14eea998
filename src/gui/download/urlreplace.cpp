#include "urlreplace.h"

#include "common/messages.h"
#include "download/downloadlist.h"
#include "download/listcommands.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace harvly {

UrlReplace::UrlReplace(DownloadListModel &list, const QString &applicationTitle, QWidget *parent)
    : QDialog(parent), m_list(list), m_find(new QLineEdit(this)), m_with(new QLineEdit(this))
{
    setObjectName(QStringLiteral("UrlReplace"));
    setWindowTitle(tr("Batch Replace URL") + QLatin1Char('-') + applicationTitle);
    m_find->setObjectName(QStringLiteral("Text1"));
    m_with->setObjectName(QStringLiteral("Text2"));
    auto *replace = new QPushButton(tr("Replace"), this);
    replace->setObjectName(QStringLiteral("Command1"));
    replace->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    tell = [this](const QString &text, bool error) {
        ShowMessage(parentWidget() ? parentWidget() : this, text,
                    error ? MessageKind::Error : MessageKind::Information);
    };

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("String in All URL:"), this), 0, 0, 1, 2);
    layout->addWidget(m_find, 1, 0, 1, 2);
    layout->addWidget(new QLabel(tr("Will be replaced with the string:"), this), 2, 0, 1, 2);
    layout->addWidget(m_with, 3, 0, 1, 2);
    layout->addWidget(replace, 4, 0);
    layout->addWidget(cancel, 4, 1);
    connect(replace, &QPushButton::clicked, this, &UrlReplace::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, sizeHint().height());
}

void UrlReplace::Command1_Click()
{
    if (m_find->text().trimmed().isEmpty()) {
        tell(tr("Please enter the string！"), true);
        return; // the dialog stays open
    }
    const UrlReplaceOutcome outcome = ReplaceInUrls(m_list, m_find->text(), m_with->text());
    if (!outcome.replaced) {
        // Addresses are unique in the list: a replacement that would join two rows is refused.
        tell(tr("Nothing was replaced: two rows would share the address %1").arg(outcome.collision),
             true);
        return;
    }
    accept();
    tell(tr("All URLs replacement is completed！"), false);
}

} // namespace harvly
