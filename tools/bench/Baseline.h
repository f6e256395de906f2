#pragma once

#include <QString>
#include <QtGlobal>

struct sqlite3;

// The least work that plain SQLite needs for what each command of the program does, on the same
// file: what the program's figures are measured against.
class Baseline {
public:
    explicit Baseline(const QString& file);
    Baseline(const Baseline&) = delete;
    Baseline& operator=(const Baseline&) = delete;
    ~Baseline();

    qint64 OpenAndCount(const QString& code); // an empty code counts all cards
    qint64 ReadCard(qint32 numero);           // title and text of one card
    qint64 CollectTitles(const QString& keyword, bool filter);
    void InsertCard(); // numbered after the last card, as the program numbers it
    void UpdateCard(qint32 numero, const QString& text);
    void Vacuum();
    static void CopyFile(const QString& source, const QString& target);

private:
    sqlite3* db_ = nullptr;
};
