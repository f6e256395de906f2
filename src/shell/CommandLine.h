#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. It is read before any window exists, so that the answers
// that need no window work without a display.
struct CommandLine {
    enum class Action { Run, Convert, Import, Export, Search, Help, Version, Refuse };

    Action action = Action::Run;
    QString folder;          // the data folder named on the command line; empty for the default one
    QString jetFile;         // the old collection to convert
    QString text;            // what to print for Help, Version and Refuse
    int exitCode = 0;        // the program's exit code for every action but Run
    QString server;          // the server named by --serveur; empty when none was
    bool local = false;      // --local: the remembered server is forgotten
    QString exchangeFile;    // the file to import or export
    bool duplicates = false; // --doublons: an import adds cards identical to one already there
    QString keyword;         // the words to search for in the cards' titles and texts
};

// The arguments as main() got them, the program's name first.
CommandLine ReadCommandLine(const QStringList& arguments);
