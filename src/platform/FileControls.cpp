#include "platform/FileControls.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

constexpr int kPathRole = Qt::UserRole;

} // namespace

QString ExistingAncestor(const QString& path) {
    QFileInfo info(QDir::cleanPath(QDir(path).absolutePath()));
    while (!info.exists() && !info.isRoot())
        info = QFileInfo(info.absolutePath());
    return info.absoluteFilePath();
}

bool CanEnter(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

bool CanWriteIn(const QString& folder) {
    return CanEnter(folder) && QFileInfo(folder).isWritable();
}

QString WithFinalSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    Refresh();
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::Change);
}

void DriveList::Refresh() {
    const QSignalBlocker quiet(this);
    clear();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && volume.bytesTotal() > 0 &&
            QFileInfo(volume.rootPath()).isDir())
            roots << WithFinalSlash(volume.rootPath());
    roots.removeDuplicates();
    roots.sort();
    addItems(roots);
}

QString DriveList::Drive() const {
    return currentText();
}

bool DriveList::SetDrive(const QString& path) {
    const int index = findText(RootOf(path));
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

QString DriveList::RootOf(const QString& path) {
    return WithFinalSlash(QStorageInfo(ExistingAncestor(path)).rootPath());
}

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString folder = item->data(kPathRole).toString();
        if (!SetPath(folder) && QFileInfo(folder).isDir())
            emit Refused(folder);
    });
}

bool DirectoryList::SetPath(const QString& path) {
    const QFileInfo folder(path);
    if (path.isEmpty() || !CanEnter(path))
        return false;
    const QString chosen = WithFinalSlash(QDir::cleanPath(folder.absoluteFilePath()));
    if (chosen == path_)
        return true;
    path_ = chosen;
    Fill();
    emit Change();
    return true;
}

void DirectoryList::Fill() {
    clear();
    QStringList chain;
    for (QDir up(path_);;) {
        chain.prepend(up.absolutePath());
        if (up.isRoot() || !up.cdUp())
            break;
    }
    int depth = 0;
    auto add = [this](const QString& full, const QString& shown, qsizetype level) {
        auto* item = new QListWidgetItem(QString(level * 2, QLatin1Char(' ')) + shown, this);
        item->setData(kPathRole, full);
    };
    for (const QString& folder : chain) {
        const QString name = QFileInfo(folder).fileName();
        add(folder, name.isEmpty() ? folder : name, depth++);
    }
    setCurrentRow(count() - 1);
    const QDir current(path_);
    for (const QString& sub : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        add(current.filePath(sub), sub, depth);
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {}

void FileList::Refresh() {
    clear();
    const QStringList patterns = pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    addItems(
        QDir(path_).entryList(patterns, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase));
}
