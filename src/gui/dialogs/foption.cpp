#include "foption.h"

#include "app/workspace.h"
#include "common/citationrecord.h"
#include "common/messages.h"
#include "common/named.h"
#include "common/program.h"
#include "common/settings.h"
#include "common/urls.h"
#include "download/ffiledownload.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

namespace harvly {

fOption::fOption(Workspace &workspace, QWidget *parent)
    : QDialog(parent), m_workspace(workspace), m_program(workspace.program()),
      m_first(
          Named(new QRadioButton(
                    tr("First way (supports HTTP, single-threaded, proxy server download)"), this),
                "Option1")),
      m_second(Named(new QRadioButton(
                         tr("Download Second way (supports HTTP, multi-threaded download)"), this),
                     "Option2")),
      m_proxy(Named(new QCheckBox(tr("Download using a proxy server"), this), "Check1")),
      m_address(Named(new QLineEdit(this), "Text6")), m_port(Named(new QLineEdit(this), "Text8")),
      m_prompt(Named(
          new QCheckBox(tr("When extracting pages of information, tips download save path"), this),
          "Check2")),
      m_checkVersion(Named(new QCheckBox(tr("Look for a newer version at start"), this), "Check3")),
      m_checkPdf(
          Named(new QCheckBox(tr("A downloaded PDF without its end is a failed download"), this),
                "Check4")),
      m_checkDocuments(Named(
          new QCheckBox(tr("Check that each PDF opens and carries its title"), this), "Check6")),
      m_retries(Named(new QSpinBox(this), "Text2")),
      m_doiResolver(Named(new QLineEdit(this), "Text3")),
      m_absolutePaths(Named(
          new QCheckBox(tr("Citation exports link the files by absolute paths"), this), "Check5"))
{
    setObjectName(QStringLiteral("fOption"));
    setModal(true);
    // The two ways are one choice, but the window may open with neither chosen.
    auto *ways = new QButtonGroup(this);
    ways->addButton(m_first);
    ways->addButton(m_second);

    auto *grid = new QGridLayout(this);
    int row = 0;
    grid->addWidget(Named(new QLabel(tr("Download Mode:"), this), "Label1"), row++, 0, 1, 3);
    grid->addWidget(m_first, row++, 0, 1, 3);
    grid->addWidget(m_second, row++, 0, 1, 3);
    grid->addWidget(m_proxy, row++, 0, 1, 3);
    grid->addWidget(Named(new QLabel(tr("IP:"), this), "Label14"), row, 0);
    grid->addWidget(m_address, row, 1);
    if (m_program.build().proxyExampleHints) {
        grid->addWidget(new QLabel(tr("(e.g. 192.168.0.1 or proxy.example.org)"), this), row, 2);
    }
    ++row;
    grid->addWidget(Named(new QLabel(tr("Port:"), this), "Label15"), row, 0);
    grid->addWidget(m_port, row, 1);
    if (m_program.build().proxyExampleHints) {
        grid->addWidget(new QLabel(tr("(e.g. 3128 or 80)"), this), row, 2);
    }
    ++row;
    grid->addWidget(m_prompt, row++, 0, 1, 3);
    if (m_program.build().fileSizeCeiling) {
        m_ceiling = Named(new QLineEdit(this), "Text1");
        auto *validator = new QDoubleValidator(0, 1e9, 3, m_ceiling);
        validator->setNotation(QDoubleValidator::StandardNotation);
        m_ceiling->setValidator(validator);
        grid->addWidget(new QLabel(tr("Download files no larger than (MB):"), this), row, 0);
        grid->addWidget(m_ceiling, row++, 1);
    }
    grid->addWidget(m_checkPdf, row++, 0, 1, 3);
    grid->addWidget(m_checkDocuments, row++, 0, 1, 3);
    // A transfer cut off, timed out or met by a server error: tried again after 1 s,
    // doubling to a minute; 0 fails it at once.
    m_retries->setRange(0, 20);
    grid->addWidget(new QLabel(tr("Tries again after a cut connection:"), this), row, 0);
    grid->addWidget(m_retries, row++, 1);
    // Where the bulk entry looks a DOI up (it sends the reader on to the document page).
    grid->addWidget(new QLabel(tr("DOI resolver:"), this), row, 0);
    grid->addWidget(m_doiResolver, row++, 1, 1, 2);
    grid->addWidget(m_absolutePaths, row++, 0, 1, 3);
    grid->addWidget(m_checkVersion, row++, 0, 1, 3);
    auto *ok = Named(new QPushButton(tr("OK"), this), "Command1");
    ok->setDefault(true);
    auto *cancel = Named(new QPushButton(tr("Cancel"), this), "Command2");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, row, 0, 1, 3);
    connect(ok, &QPushButton::clicked, this, &fOption::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &fOption::Command2_Click);
    Form_Load();
}

void fOption::Form_Load()
{
    setWindowTitle(tr("Set") + QLatin1Char('-') + m_program.build().applicationTitle);
    Settings &s = m_program.settings();
    m_proxy->setChecked(s.get(Keys::ProxyEffective));
    m_address->setText(s.get(Keys::ProxyURL));
    m_port->setText(s.get(Keys::ProxyPort));
    const int way = s.get(Keys::DownloadMode);
    m_first->setChecked(way == 1);
    m_second->setChecked(way == 2);
    m_prompt->setChecked(m_program.promptSavePath == 1);
    m_checkVersion->setChecked(s.get(Keys::CheckLatestVersion));
    m_checkPdf->setChecked(s.get(Keys::CheckPdfEnd));
    m_checkDocuments->setChecked(s.get(Keys::CheckDocuments));
    m_retries->setValue(s.get(Keys::Retries));
    m_doiResolver->setText(s.get(Keys::DoiResolver));
    m_absolutePaths->setChecked(s.get(Keys::ExportAbsolutePaths));
    if (m_ceiling) {
        m_ceiling->setText(QString::number(s.get(Keys::MaxFileSizeMegabytes)));
    }
}

void fOption::Command1_Click()
{
    Settings &s = m_program.settings();
    fFileDownload *downloads = m_workspace.loadedDownloadWindow();
    int way = s.get(Keys::DownloadMode);
    if (m_first->isChecked()) {
        way = 1;
    } else if (m_second->isChecked()) {
        way = 2;
    }
    s.set(Keys::DownloadMode, way);
    const bool proxy = m_proxy->isChecked();
    const QString address = m_address->text().trimmed();
    const QString port = m_port->text().trimmed();
    s.set(Keys::ProxyEffective, proxy);
    s.set(Keys::ProxyURL, address);
    s.set(Keys::ProxyPort, port);
    bool numeric = false;
    port.toUInt(&numeric);
    if (proxy && (address.isEmpty() || !numeric)) {
        // Only a warning: the values are kept as typed, and a download through them fails
        // with "Bad proxy setting" rather than going elsewhere.
        // The dialog closes right away: the warning belongs to the window that opened it.
        ShowMessage(parentWidget(), tr("Proxy URL or port wrong format!"), MessageKind::Error);
    }
    m_program.promptSavePath = m_prompt->isChecked() ? 1 : 0;
    s.set(Keys::PromptedSavePathWhenExtractInfo, m_program.promptSavePath == 1);
    s.set(Keys::CheckLatestVersion, m_checkVersion->isChecked());
    s.set(Keys::CheckPdfEnd, m_checkPdf->isChecked());
    s.set(Keys::CheckDocuments, m_checkDocuments->isChecked());
    s.set(Keys::Retries, m_retries->value());
    s.set(Keys::ExportAbsolutePaths, m_absolutePaths->isChecked());
    const QString resolver = m_doiResolver->text().trimmed();
    if (resolver.isEmpty()) {
        s.set(Keys::DoiResolver, kDefaultDoiResolver);
    } else if (IsFetchableAddress(QUrl(resolver))) {
        s.set(Keys::DoiResolver, resolver);
    } else {
        // The other values are saved; the resolver keeps what it was.
        ShowMessage(parentWidget(), tr("The DOI resolver must be an http or https address!"),
                    MessageKind::Error);
    }
    if (m_ceiling) {
        bool ok = false;
        const double megabytes = m_ceiling->text().toDouble(&ok);
        if (ok && megabytes >= 0) {
            s.set(Keys::MaxFileSizeMegabytes, megabytes);
        }
    }
    if (downloads) {
        // The rows that start next follow the new values; choosing the second way starts
        // it at one thread.
        downloads->applyOptions(m_second->isChecked());
    }
    accept();
}

void fOption::Command2_Click()
{
    reject();
}

} // namespace harvly
