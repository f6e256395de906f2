#pragma once

#include <QComboBox>
#include <QString>
#include <QTreeView>

class FolderChain;
class QFileSystemModel;

// The mounted volumes of non-zero size, by their root folder.
class DriveList : public QComboBox {
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    QString Drive() const { return currentText(); } // the chosen volume's root, ending in "/"
    // Chooses the volume that holds path; Change runs when that is another volume.
    bool SetDrive(const QString& path);

signals:
    void Change();
};

// A folder, its parents above it and its subfolders below, read from the file system as it
// changes; a double click or Enter opens a folder.
class DirectoryList : public QTreeView {
    Q_OBJECT

public:
    explicit DirectoryList(QWidget* parent = nullptr);

    QString Path() const { return path_; } // ending in "/"
    // False, and nothing changed, when path is not a folder that the user may enter.
    bool SetPath(const QString& path);
    // The row of a folder shown, by its path; invalid while it is not (yet) listed.
    QModelIndex RowOf(const QString& folder) const;

signals:
    void Change();
    // The user opened a folder that they may not enter.
    void Refused(const QString& folder);

private:
    void Open(const QModelIndex& row);

    QFileSystemModel* folders_;
    FolderChain* chain_;
    QString path_;
};
