#include "ffiledownload.h"

#include "app/workspace.h"
#include "browserpage.h"
#include "common/combos.h"
#include "common/elidedlabel.h"
#include "common/files.h"
#include "common/forms.h"
#include "common/listviews.h"
#include "common/messages.h"
#include "common/named.h"
#include "common/program.h"
#include "common/settings.h"
#include "common/shell.h"
#include "common/sound.h"
#include "dialogs/foption.h"
#include "dialogs/frmabout.h"
#include "download/correction.h"
#include "download/downloadlist.h"
#include "download/filetype.h"
#include "download/listcommands.h"
#include "download/liststore.h"
#include "download/scheduler.h"
#include "download/storelock.h"
#include "loginpanel.h"
#include "search/fwebsearch.h"
#include "stateicons.h"
#include "webbrowser.h"

#include <array>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace harvly {

// The window's panels: the settings row, the list, the status bar.
QWidget *fFileDownload::buildSettingsRow()
{
    auto *panel = new QWidget;
    panel->setObjectName(QStringLiteral("Picture3"));
    auto label = [panel](const char *name, const QString &text) {
        auto *l = new QLabel(text, panel);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    QLabel *listLabel = label("Label4", tr("Download List:"));
    m_count = label("Label1", QStringLiteral("0"));
    m_way = label("Label7", tr("Download Way:"));
    QLabel *threadsLabel = label("Label2", tr("Threads:"));
    m_threads = Named(new QComboBox(panel), "Combo1");
    for (int i = 1; i <= 6; ++i) {
        m_threads->addItem(QString::number(i));
    }
    QLabel *intervalLabel = label("Label5", tr("download interval:"));
    m_interval = Named(new QComboBox(panel), "Combo2");
    QLabel *secLabel = label("Label9", tr("Sec"));
    QLabel *sameName = label("Label8", tr("Same file name:"));
    m_skip = Named(new QRadioButton(tr("Skip"), panel), "Option1");
    m_cover = Named(new QRadioButton(tr("Cover"), panel), "Option2");
    m_rename = Named(new QRadioButton(tr("Rename"), panel), "Option3");
    auto *autoReDownload = Named(new QCheckBox(tr("Auto ReDownload："), panel), "Check3");
    m_reDownload = Named(new QComboBox(panel), "Combo4");
    m_reDownload->addItems({tr("Err Items"), tr("htm Items"), tr("Err and Htm Items")});
    auto *autoStart =
        Named(new QCheckBox(tr("Auto start download When have new item"), panel), "Check4");
    auto *errorStop = Named(
        new QCheckBox(tr("Stop download When more than five error downloads"), panel), "Check5");
    auto *voice = Named(new QCheckBox(tr("Voice prompts"), panel), "Check6");
    auto *start = Named(new QPushButton(tr("Start Download"), panel), "Command4");
    auto *stop = Named(new QPushButton(tr("Stop Download"), panel), "Command31");
    auto *sw = Named(new QPushButton(tr("Switch"), panel), "Command26");
    auto *webOpen = Named(new QPushButton(tr("Web page open"), panel), "Command1");
    connect(webOpen, &QPushButton::clicked, this, &fFileDownload::Command1_Click);
    m_autoReDownload = autoReDownload;
    m_autoStart = autoStart;
    m_errorStop = errorStop;
    m_voice = voice;
    connectSettingsRow();
    sw->setToolTip(tr("Change to download Mode"));
    connect(start, &QPushButton::clicked, this, &fFileDownload::Command4_Click);
    connect(stop, &QPushButton::clicked, this, &fFileDownload::Command31_Click);
    connect(sw, &QPushButton::clicked, this, &fFileDownload::Command26_Click);
    m_shape = Named(new QWidget(panel), "Shape1");
    m_shape->setFixedSize(14, 14);
    m_shape->setStyleSheet(QStringLiteral("background-color: rgb(0, 170, 0); border-radius: 7px;"));
    m_shape->hide();

    // Four short rows rather than two long ones: the window stays narrow enough for a small
    // screen with every caption whole.
    const auto row = [](std::initializer_list<QWidget *> widgets) {
        auto *r = new QHBoxLayout;
        for (QWidget *w : widgets) {
            r->addWidget(w);
        }
        r->addStretch(1);
        return r;
    };
    auto *buttons = row({voice});
    for (QWidget *w : std::initializer_list<QWidget *>{m_shape, start, stop, sw, webOpen}) {
        buttons->addWidget(w);
    }
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addLayout(row(
        {listLabel, m_count, m_way, threadsLabel, m_threads, intervalLabel, m_interval, secLabel}));
    layout->addLayout(row({sameName, m_skip, m_cover, m_rename, autoReDownload, m_reDownload}));
    layout->addLayout(row({autoStart, errorStop}));
    layout->addLayout(buttons);
    return panel;
}

// Every value of the settings row reaches the scheduler's options as it changes.
void fFileDownload::connectSettingsRow()
{
    for (QCheckBox *c : {m_autoReDownload, m_autoStart, m_errorStop, m_voice}) {
        connect(c, &QCheckBox::toggled, this, &fFileDownload::syncOptions);
    }
    for (QComboBox *c : {m_threads, m_interval, m_reDownload}) {
        connect(c, &QComboBox::currentIndexChanged, this, &fFileDownload::syncOptions);
    }
    for (QRadioButton *r : {m_skip, m_cover, m_rename}) {
        connect(r, &QRadioButton::toggled, this, &fFileDownload::syncOptions);
    }
}

void fFileDownload::buildListView(QWidget *parent)
{
    m_view = Named(new QTreeView(parent), "ListView3");
    m_view->setToolTip(tr("Double-click the mouse: download current item or open a file"));
    m_view->setRootIsDecorated(false);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setModel(m_list);
    m_list->setStateIcons(StateIcons());
    for (int c = 0; c < DownloadListModel::ColumnCount; ++c) {
        m_view->setColumnWidth(c, DownloadListModel::columnWidthTwips(c) / 15);
    }
    SetListViewRowColors(m_view, false, 17);
    // However small the window, a few rows stay in sight.
    m_view->setMinimumHeight(m_view->header()->sizeHint().height() + 3 * 17 +
                             2 * m_view->frameWidth() + 2);
    connect(m_view, &QTreeView::clicked, this, &fFileDownload::ListView3_ItemClick);
    connect(m_view, &QTreeView::doubleClicked, this, &fFileDownload::ListView3_DblClick);
    m_view->header()->setSectionsClickable(true);
    connect(m_view->header(), &QHeaderView::sectionClicked, this,
            &fFileDownload::ListView3_ColumnClick);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &fFileDownload::showListMenu);
    // The count follows the list as rows arrive, not only when the window is activated.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(m_list, signal, this, [this] { m_count->setText(CountLabelText(m_list->size())); });
    }
    connect(m_list, &QAbstractItemModel::modelReset, this,
            [this] { m_count->setText(CountLabelText(m_list->size())); });
}

QStatusBar *fFileDownload::buildStatusBar()
{
    auto *status = Named(new QStatusBar(this), "StatusBar1");
    m_panel1 = new QLabel(QStringLiteral("Harvly"), status);
    // Long transfer and connection texts are cut, never widening the window.
    m_panel2 = new ElidedLabel(status);
    m_panel3 = new ElidedLabel(status);
    // A click on the transfer panel shows the file it names in the web browser.
    connect(m_panel2, &ElidedLabel::clicked, this, [this] {
        if (FileExists(m_panel2->text())) {
            OpenInWebBrowser(m_panel2->text());
        }
    });
    m_panel3->setMaximumWidth(320); // the connection state never crowds out the transfer
    m_panel4 = new QLabel(status);
    m_panel2->setObjectName(QStringLiteral("StatusPanel2"));
    m_panel3->setObjectName(QStringLiteral("StatusPanel3"));
    m_panel4->setObjectName(QStringLiteral("StatusPanel4"));
    status->addWidget(m_panel1);
    status->addWidget(m_panel2, 1);
    status->addPermanentWidget(m_panel3);
    status->addPermanentWidget(m_panel4);
    return status;
}

QLabel *fFileDownload::statusPanel(int number) const
{
    const std::array<QLabel *, 4> panels{m_panel1, m_panel2, m_panel3, m_panel4};
    return number >= 1 && number <= 4 ? panels.at(number - 1) : nullptr;
}

} // namespace harvly
