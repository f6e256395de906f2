#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

// The least work that the engine alone needs for what each command of the program does, on the
// same collection: what the program's figures are measured against.
class Baseline {
public:
    virtual ~Baseline() = default;

    virtual qint64 OpenAndCount(const QString& code) = 0; // an empty code counts all cards
    virtual qint64 ReadCard(qint32 numero) = 0;           // title and text of one card
    // What a search costs without the program: the titles holding the keyword found by reading
    // every title.
    virtual qint64 CollectTitles(const QString& keyword) = 0;
    // The numbers and titles of a page of up to `rows` cards numbered from `from` on, read by
    // seeking to that number.
    virtual qint64 ReadPage(const QString& code, qint64 from, int rows) = 0;
    virtual void InsertCard() = 0; // numbered after the last card, as the program numbers it
    virtual void UpdateCard(qint32 numero, const QString& text) = 0;
    virtual void Vacuum() = 0;
    // A copy of every card in a file of its own, flushed to the disk.
    virtual void Backup(const QString& target) = 0;

    // Plain SQLite on the collection file; plain PostgreSQL on a server's database, through
    // libpq.
    static std::unique_ptr<Baseline> OnFile(const QString& file);
    static std::unique_ptr<Baseline> OnServer(const QString& connection);
};
