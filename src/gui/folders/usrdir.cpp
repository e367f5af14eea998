#include "usrdir.h"

#include "common/messages.h"
#include "common/program.h"
#include "common/settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QStyle>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace harvly {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;   // its subfolders are asked for
constexpr int kCompleteRole = Qt::UserRole + 2; // they are all in the tree
constexpr int kSlice = 500;

const QString kDesktopKey = QStringLiteral("root61_Desktop");
const QString kDocumentsKey = QStringLiteral("root62_MyDoc");
const QString kComputerKey = QStringLiteral("root63_mycomputer");
const QString kVolumePrefix = QStringLiteral("rootdyf");

QString withSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QIcon iconFor(const QString &image)
{
    QStyle *style = QApplication::style();
    if (image == QLatin1String("Desktop")) {
        return style->standardIcon(QStyle::SP_DesktopIcon);
    }
    if (image == QLatin1String("MyComputer")) {
        return style->standardIcon(QStyle::SP_ComputerIcon);
    }
    if (image == QLatin1String("remove") || image == QLatin1String("fixed") ||
        image == QLatin1String("ram") || image == QLatin1String("unknown")) {
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    }
    if (image == QLatin1String("remote")) {
        return style->standardIcon(QStyle::SP_DriveNetIcon);
    }
    if (image == QLatin1String("cd")) {
        return style->standardIcon(QStyle::SP_DriveCDIcon);
    }
    if (image == QLatin1String("open")) {
        return style->standardIcon(QStyle::SP_DirOpenIcon);
    }
    return style->standardIcon(QStyle::SP_DirClosedIcon);
}

QString imageOf(Volume::Kind kind)
{
    switch (kind) {
    case Volume::Kind::Removable:
        return QStringLiteral("remove");
    case Volume::Kind::Fixed:
        return QStringLiteral("fixed");
    case Volume::Kind::Remote:
        return QStringLiteral("remote");
    case Volume::Kind::Optical:
        return QStringLiteral("cd");
    case Volume::Kind::Ram:
        return QStringLiteral("ram");
    case Volume::Kind::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace

usrDir::usrDir(Program &program, QWidget *parent)
    : usrDir(program,
             {QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).trimmed(),
              &MountedVolumes},
             parent)
{
}

usrDir::usrDir(Program &program, Places places, QWidget *parent)
    : QWidget(parent), m_program(program), m_places(std::move(places)),
      m_tree(new QTreeWidget(this)), m_busy(new QLabel(tr("Loading..."), this))
{
    setObjectName(QStringLiteral("usrDir"));
    tell = [this](const QString &text) { ShowMessage(this, text, MessageKind::Error); };
    m_tree->setObjectName(QStringLiteral("DirTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->installEventFilter(this);
    m_tree->viewport()->installEventFilter(this);
    m_busy->setObjectName(QStringLiteral("Picture1"));
    m_busy->setAutoFillBackground(true);
    m_busy->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    connect(m_tree, &QTreeWidget::itemClicked, this, &usrDir::chooseNode);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, &usrDir::expanded);

    const QString last = m_program.settings().get(Keys::LastOpenedDirectory);
    m_dirName = withSlash(QFileInfo(last).isDir() ? last : QCoreApplication::applicationDirPath());
    LoadTreeView();
}

void usrDir::setDirName(const QString &folder)
{
    m_dirName = folder;
    emit Click();
}

QString usrDir::Drive() const
{
    return QStorageInfo(m_dirName).rootPath();
}

QString usrDir::DriveName() const
{
    const QStorageInfo volume(m_dirName);
    if (!volume.name().isEmpty()) {
        return volume.name();
    }
    return volume.device().startsWith("/dev/") ? QStringLiteral("Hard Drive") : QString();
}

qint64 usrDir::DiskSpaceInBytes(const QString &path)
{
    return harvly::DiskSpaceInBytes(path);
}

QString usrDir::DriveSpace()
{
    const qint64 free = DiskSpaceInBytes(m_dirName);
    if (free < 0) {
        tell(tr("Function failed!"));
        return {};
    }
    return QLocale(QLocale::English).toString(free) + QStringLiteral(" bytes");
}

QTreeWidgetItem *usrDir::addNode(QTreeWidgetItem *parent, const QString &key, const QString &text,
                                 const QString &image)
{
    if (m_nodes.contains(key)) {
        return nullptr;
    }
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, text);
    item->setData(0, kKeyRole, key);
    item->setIcon(0, iconFor(image));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    m_nodes.insert(key, item);
    return item;
}

void usrDir::setBusy(int delta)
{
    m_pending += delta;
    m_busy->setVisible(m_pending > 0);
    if (m_pending > 0) {
        m_busy->raise();
    }
}

void usrDir::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_busy->adjustSize();
    m_busy->move((width() - m_busy->width()) / 2, (height() - m_busy->height()) / 2);
}

void usrDir::LoadTreeView()
{
    ++m_generation;
    m_tree->clear();
    m_nodes.clear();
    m_volumes.clear();
    m_pending = 0;
    setBusy(0);
    QTreeWidgetItem *desktop =
        addNode(nullptr, kDesktopKey, tr("Desktop"), QStringLiteral("Desktop"));
    QTreeWidgetItem *documents =
        addNode(desktop, kDocumentsKey, tr("Documents"), QStringLiteral("folder"));
    if (!m_places.documents.isEmpty()) {
        loadChildren(documents, m_places.documents);
    }
    QTreeWidgetItem *computer =
        addNode(desktop, kComputerKey, tr("Computer"), QStringLiteral("MyComputer"));
    for (const Volume &v : m_places.volumes ? m_places.volumes() : QList<Volume>{}) {
        QString label = v.label;
        if (label.isEmpty() && v.kind == Volume::Kind::Fixed) {
            label = tr("Local Disk");
        } else if (label.isEmpty() && v.kind == Volume::Kind::Removable) {
            label = tr("Removable Disk");
        } else if (label.isEmpty()) {
            label = QFileInfo(v.root).fileName(); // a nameless volume: its folder's name
        }
        const QString key = kVolumePrefix + v.root;
        QTreeWidgetItem *node = addNode(
            computer, key, ProperCase(label) + QStringLiteral(" (") + v.root + QLatin1Char(')'),
            imageOf(v.kind));
        if (!node) {
            continue;
        }
        m_volumes.insert(key, v);
        // A removable volume is read only when the user opens it.
        if (v.kind != Volume::Kind::Removable) {
            loadChildren(node, v.root);
        }
    }
    if (!m_places.desktop.isEmpty()) {
        loadChildren(desktop, m_places.desktop);
    }
    desktop->setExpanded(true);
    computer->setExpanded(true);
}

QString usrDir::pathOf(const QTreeWidgetItem *node) const
{
    const QString key = node->data(0, kKeyRole).toString();
    if (key == kDesktopKey) {
        return m_places.desktop;
    }
    if (key == kDocumentsKey) {
        return m_places.documents;
    }
    if (key == kComputerKey) {
        return QStringLiteral("/");
    }
    if (key.startsWith(kVolumePrefix)) {
        return m_volumes.value(key).root;
    }
    return key;
}

void usrDir::loadChildren(QTreeWidgetItem *node, const QString &path, std::function<void()> done)
{
    if (!node || node->data(0, kLoadedRole).toBool() || path.isEmpty()) {
        if (done) {
            done();
        }
        return;
    }
    node->setData(0, kLoadedRole, true);
    setBusy(+1);
    const quint64 generation = m_generation;
    const QString key = node->data(0, kKeyRole).toString();
    QPointer<usrDir> self(this);
    QThreadPool::globalInstance()->start([self, generation, key, path, done] {
        QList<FolderName> names = ListSubfolderNames(path, true);
        QMetaObject::invokeMethod(
            qApp,
            [self, generation, key, names = std::move(names), done]() mutable {
                if (self) {
                    self->addSlice(generation, key, std::move(names), 0, done);
                }
            },
            Qt::QueuedConnection);
    });
}

void usrDir::addSlice(quint64 generation, QString key, QList<FolderName> names, qsizetype from,
                      std::function<void()> done)
{
    QTreeWidgetItem *node = m_nodes.value(key);
    if (generation != m_generation || !node) {
        return; // the tree was built again meanwhile
    }
    const qsizetype to = qMin<qsizetype>(from + kSlice, names.size());
    for (qsizetype i = from; i < to; ++i) {
        const FolderName &f = names.at(i);
        if (QTreeWidgetItem *child = addNode(node, f.path, f.name, QStringLiteral("folder"))) {
            child->setChildIndicatorPolicy(f.hasSubfolders
                                               ? QTreeWidgetItem::ShowIndicator
                                               : QTreeWidgetItem::DontShowIndicatorWhenChildless);
        }
    }
    if (to < names.size()) {
        // The rest after the window's pending events: a huge folder never stops it.
        QPointer<usrDir> self(this);
        QTimer::singleShot(0, this,
                           [self, generation, key, names = std::move(names), to, done]() mutable {
                               if (self) {
                                   self->addSlice(generation, key, std::move(names), to, done);
                               }
                           });
        return;
    }
    if (node->childCount() == 0) {
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
    node->setData(0, kCompleteRole, true);
    setBusy(-1);
    emit childrenLoaded(node);
    if (done) {
        done();
    }
}

void usrDir::loadNow(QTreeWidgetItem *node, const QString &path)
{
    // Also while a read of the same folder is under way: what it brings later is skipped.
    if (!node || node->data(0, kCompleteRole).toBool()) {
        return;
    }
    node->setData(0, kLoadedRole, true);
    node->setData(0, kCompleteRole, true);
    for (const FolderName &f : ListSubfolderNames(path, true)) {
        if (QTreeWidgetItem *child = addNode(node, f.path, f.name, QStringLiteral("folder"))) {
            child->setChildIndicatorPolicy(f.hasSubfolders
                                               ? QTreeWidgetItem::ShowIndicator
                                               : QTreeWidgetItem::DontShowIndicatorWhenChildless);
        }
    }
}

void usrDir::chooseNode(QTreeWidgetItem *node)
{
    nodeClicked(node);
    m_program.settings().set(Keys::LastOpenedDirectory, m_dirName);
    emit Click();
}

void usrDir::nodeClicked(QTreeWidgetItem *node)
{
    m_tree->setCurrentItem(node);
    const QString key = node->data(0, kKeyRole).toString();
    if (key.startsWith(kVolumePrefix) && node->data(0, kLoadedRole).toBool()) {
        m_dirName = withSlash(pathOf(node)); // no event, as before
        return;
    }
    m_dirName = withSlash(pathOf(node));
    QPointer<usrDir> self(this);
    QPointer<QTreeWidget> tree(m_tree);
    loadChildren(node, pathOf(node), [self, key] {
        if (self && self->node(key)) {
            emit self->NodeClick(self->node(key));
        }
    });
}

void usrDir::expanded(QTreeWidgetItem *node)
{
    const QString key = node->data(0, kKeyRole).toString();
    loadChildren(node, pathOf(node));
    if (!key.startsWith(QLatin1String("root"))) {
        node->setIcon(0, iconFor(QStringLiteral("open")));
    }
}

void usrDir::OpenSpecifiedDirectory(const QString &path)
{
    const QString target = QDir::cleanPath(path);
    // The volume that holds it: the longest mount point that begins the path.
    QString volumeKey;
    for (auto it = m_volumes.cbegin(); it != m_volumes.cend(); ++it) {
        const QString root = it.value().root;
        const bool holds = target == root || target.startsWith(withSlash(root));
        if (holds &&
            (volumeKey.isEmpty() || root.size() > m_volumes.value(volumeKey).root.size())) {
            volumeKey = it.key();
        }
    }
    QTreeWidgetItem *last = m_nodes.value(volumeKey);
    if (!last) {
        return;
    }
    loadNow(last, m_volumes.value(volumeKey).root);
    last->setExpanded(true);
    const QString root = m_volumes.value(volumeKey).root;
    const QStringList parts = target.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString prefix = root == QLatin1String("/") ? QString() : root;
    for (const QString &part : parts) {
        prefix += QLatin1Char('/') + part;
        QTreeWidgetItem *found = m_nodes.value(prefix);
        if (!found) {
            break;
        }
        loadNow(found, prefix);
        found->setExpanded(true);
        last = found;
    }
    m_tree->setCurrentItem(last);
    m_tree->scrollToItem(last);
    m_dirName = withSlash(pathOf(last));
}

bool usrDir::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree || watched == m_tree->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            emit MouseDown(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseMove:
            emit MouseMove(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseButtonRelease:
            emit MouseUp(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            emit KeyDown(key);
            if (!key->text().isEmpty()) {
                emit KeyPress(key);
            }
            if (key->key() == Qt::Key_F5) {
                LoadTreeView();
                return true;
            }
            // A folder reached with the arrow keys, or confirmed with Enter, is chosen as a
            // click chooses it, once the tree has moved to it.
            const QTreeWidgetItem *current = m_tree->currentItem();
            const QString before = current ? current->data(0, kKeyRole).toString() : QString();
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            QTimer::singleShot(0, this, [this, before, enter] {
                QTreeWidgetItem *now = m_tree->currentItem();
                if (now && (enter || now->data(0, kKeyRole).toString() != before)) {
                    chooseNode(now);
                }
            });
            break;
        }
        case QEvent::KeyRelease:
            emit KeyUp(static_cast<QKeyEvent *>(event));
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace harvly
