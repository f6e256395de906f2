#pragma once

#include <QString>
#include <functional>
#include <vector>

struct Figures;

// Bad database, marker and page-state files, each opened by the program's own reading path in
// a child of its own.
enum class FileKind { Database, Marker, PageState };
QString NameOf(FileKind kind);

struct BadFile {
    FileKind kind;
    QString description;
    std::function<void(const QString& path)> make; // creates the file (of any type) at path
};
// The whole corpus, drawn from seed; base files are written under scratch.
std::vector<BadFile> BadFiles(quint64 seed, const QString& scratch);

// The child side: opens the file of this kind in the current directory and says "accepted" or
// "refused", then "message TEXT" for each message the program gave.
int OpenAsTheProgramDoes(FileKind kind, int& argc, char** argv);

struct CorpusSettings {
    int files = 600; // the whole corpus; fewer takes an even spread of it
    quint64 seed = 1;
    QString work;
    int timeoutSeconds = 60;
    int only = -1; // replays one file of the whole corpus
};
void RunCorpus(const CorpusSettings& settings, Figures& figures);
