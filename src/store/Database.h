#pragma once

#include <QString>
#include <functional>
#include <memory>

class Connection;
class Recordset;

// The card database file. Opening never creates it and refuses anything that is not a whole
// card database, so a wrong or damaged file is reported and never written to.
class Database {
public:
    Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    void Open(const QString& fileName);
    void Close();
    bool IsOpen() const;
    const QString& FileName() const { return fileName_; }

    // Takes one of the program's two query texts.
    std::unique_ptr<Recordset> OpenRecordset(const QString& sql);

    // The program's indexes, all made here where they are missing or out of date: when a
    // collection is created, compacted or first written, never on opening.
    static void EnsureIndexes(Connection& connection);

    // Writes a new, empty card database; refuses to replace an existing file. Without its
    // indexes when they are to be made once the cards are in (EnsureIndexes).
    enum class Indexes { Now, Later };
    static void CreateEmpty(const QString& fileName, Indexes indexes = Indexes::Now);

    // Runs work inside a read transaction: no writer, of this program or another, changes the
    // file meanwhile, so the file alone is the whole database as it stands.
    void WhileUnchanged(const std::function<void()>& work) const;
    // A compacted copy of the open database into a new file.
    void CompactInto(const QString& target) const;
    // The number of cards of the open database.
    qint64 CardCount() const;
    // Opens a card database read-only, checks it and answers its number of cards. A quick check
    // reads every page but skips the cross-check of the index against the table.
    enum class Check { Whole, Quick };
    static qint64 VerifiedCardCount(const QString& fileName, Check check = Check::Whole);

    Connection& connection() const;

private:
    std::shared_ptr<Connection> connection_;
    QString fileName_;
};
