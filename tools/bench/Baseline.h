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
    // Every title read, the matching ones kept: what a search does without an index.
    qint64 CollectTitles(const QString& keyword, bool filter);
    // The numbers and titles of a page of up to `rows` cards numbered from `from` on, read by
    // seeking to that number.
    qint64 ReadPage(const QString& code, qint64 from, int rows);
    void InsertCard(); // numbered after the last card, as the program numbers it
    void UpdateCard(qint32 numero, const QString& text);
    void Vacuum();
    // A byte copy flushed to the disk.
    static void CopyFile(const QString& source, const QString& target);

private:
    sqlite3* db_ = nullptr;
};
