#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>

// The mounted volumes of non-zero size, by their root folder.
class DriveList : public QComboBox {
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    void Refresh();
    QString Drive() const; // the chosen volume's root, ending in "/"
    // Chooses the volume that holds path; Change runs when that is another volume.
    bool SetDrive(const QString& path);

    // The root of the volume that holds path (or its nearest existing parent), ending in "/".
    static QString RootOf(const QString& path);

signals:
    void Change();
};

// A folder, its parents above it and its subfolders below; a double click or Enter opens a
// folder.
class DirectoryList : public QListWidget {
    Q_OBJECT

public:
    explicit DirectoryList(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // False, and nothing changed, when path is not a folder that the user may enter.
    bool SetPath(const QString& path);

signals:
    void Change();
    // The user opened a folder that they may not enter.
    void Refused(const QString& folder);

private:
    void Fill();

    QString path_;
};

// The files of a folder that match a pattern such as "*.kor;*.mdb", whatever the case.
class FileList : public QListWidget {
    Q_OBJECT

public:
    explicit FileList(QWidget* parent = nullptr);

    void SetPattern(const QString& pattern) { pattern_ = pattern; }
    void SetPath(const QString& path) { path_ = path; }
    QString Path() const { return path_; }
    void Refresh();

private:
    QString pattern_ = QStringLiteral("*.*");
    QString path_;
};

// path itself when it exists, else its nearest parent that does (as far as the user can see).
QString ExistingAncestor(const QString& path);
// An existing folder whose list of files the user may read and into which they may go.
bool CanEnter(const QString& folder);
// An existing folder in which the user may also create and replace files.
bool CanWriteIn(const QString& folder);

// A folder path with exactly one "/" at its end.
QString WithFinalSlash(const QString& path);
