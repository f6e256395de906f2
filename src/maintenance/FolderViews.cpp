#include "maintenance/FolderViews.h"

#include "maintenance/BackupChecks.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStorageInfo>

// Of the whole file system, the folders from the root down to the chosen one, and the chosen
// one's subfolders; names alone, as a list of folders shows them.
class FolderChain : public QSortFilterProxyModel {
public:
    explicit FolderChain(QFileSystemModel* folders, QObject* parent)
        : QSortFilterProxyModel(parent), folders_(folders) {
        setSourceModel(folders);
    }

    void SetFolder(const QString& folder) {
        folder_ = QDir::cleanPath(folder);
        invalidateFilter();
    }

    // Each level indented by two blanks of the name's own font, and no icon.
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DecorationRole)
            return {};
        if (role != Qt::DisplayRole)
            return QSortFilterProxyModel::data(index, role);
        qsizetype depth = 0;
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            ++depth;
        return QString(depth * 2, QLatin1Char(' ')) +
               QSortFilterProxyModel::data(index, role).toString();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (folders_->filePath(parent) == folder_)
            return true;
        const QString path = folders_->filePath(folders_->index(row, 0, parent));
        return path == folder_ || folder_.startsWith(BackupChecks::WithFinalSlash(path));
    }

private:
    QFileSystemModel* folders_;
    QString folder_;
};

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    addItems(BackupChecks::VolumeRoots());
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::Change);
}

bool DriveList::SetDrive(const QString& path) {
    const int index = findText(BackupChecks::VolumeRoot(path));
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

DirectoryList::DirectoryList(QWidget* parent)
    : QTreeView(parent), folders_(new QFileSystemModel(this)),
      chain_(new FolderChain(folders_, this)) {
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setRootPath(QStringLiteral("/"));
    setModel(chain_);
    setHeaderHidden(true);
    for (int column = 1; column < chain_->columnCount(); ++column)
        hideColumn(column);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    connect(this, &QAbstractItemView::activated, this, &DirectoryList::Open);
}

void DirectoryList::Open(const QModelIndex& row) {
    const QString folder = folders_->filePath(chain_->mapToSource(row));
    if (!SetPath(folder) && QFileInfo(folder).isDir())
        emit Refused(folder);
}

bool DirectoryList::SetPath(const QString& path) {
    if (path.isEmpty() || !BackupChecks::CanEnter(path))
        return false;
    const QString chosen =
        BackupChecks::WithFinalSlash(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (chosen == path_)
        return true;
    path_ = chosen;
    chain_->SetFolder(path_);
    const QModelIndex current = RowOf(path_);
    for (QModelIndex up = current; up.isValid(); up = up.parent())
        expand(up);
    setCurrentIndex(current);
    scrollTo(current);
    emit Change();
    return true;
}

QModelIndex DirectoryList::RowOf(const QString& folder) const {
    return chain_->mapFromSource(folders_->index(QDir::cleanPath(folder)));
}
