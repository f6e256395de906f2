#pragma once

#include <QString>

// The folder that holds the collection, its marker and page files: the one named on the
// command line, else the user's data folder, created on first use once a window can be shown.
namespace DataFolder {

struct Choice {
    QString path;    // absolute; empty when there is none to work in
    QString problem; // why not, in French; the program then ends with code 1
};

// Creates nothing: a named folder must exist, the user's data folder is made by Make.
Choice Choose(const QString& named);
// Creates the chosen folder where it is missing; why not, in French, when it cannot.
QString Make(const QString& path);

// $XDG_DATA_HOME/pivanes, or ~/.local/share/pivanes.
QString Default();

// The user's base folder that the environment variable names (XDG_DATA_HOME, XDG_CONFIG_HOME),
// or the folder under the home folder that stands for it.
QString UserBase(const char* variable, const QString& underHome);

} // namespace DataFolder
