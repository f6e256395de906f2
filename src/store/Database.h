#pragma once

#include <QString>
#include <memory>
#include <optional>

class Connection;
class FileWriter;
class Recordset;

// The card database file. Opening never creates it, never writes to it, and refuses anything
// that is not a whole card database, so a wrong or damaged file is reported and left as it is.
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

    // All cards, or those of one category (the code is a value, never part of the SQL), in
    // order of addition.
    std::unique_ptr<Recordset> OpenAll();
    std::unique_ptr<Recordset> OpenCategory(const QString& code);
    // One of the program's two query texts, opened as the call above that it stands for.
    std::unique_ptr<Recordset> OpenRecordset(const QString& sql);

    // Writes a new, empty card database; refuses to replace an existing file. Without its
    // indexes when they are to be made once the cards are in (EnsureIndexes).
    enum class Indexes { Now, Later };
    static void CreateEmpty(const QString& fileName, Indexes indexes = Indexes::Now);

    // Writes the open database into the new file as it stands at one moment, writers held off
    // meanwhile, and reads the copy back: the file's bytes, compared with the live file's, or,
    // for a file in WAL mode, the engine's pages, checked whole. Answers the number of cards at
    // that moment; nothing when the copy read back differs.
    std::optional<qint64> BackupTo(FileWriter& file) const;
    // Writes every page of the card database source into the existing database file target,
    // in one transaction under the engine's locks: a program that holds target open sees the
    // old collection or the new one, and a crash leaves the old one.
    static void WriteInto(const QString& source, const QString& target);
    // Rewrites the open database compacted, in place and in one transaction; refuses a damaged
    // file.
    void Compact();

    // The program's indexes, all made here where they are missing or out of date: when a
    // collection is created, compacted or first written, never on opening.
    static void EnsureIndexes(Connection& connection);
    // Runs once per connection before its first write: rollback journal and indexes.
    static void PrepareForWrites(Connection& connection);
    // The number of cards of the open database.
    qint64 CardCount() const;
    // Opens a card database read-only, checks it whole (or only its table of cards, walked to
    // count them) and answers its number of cards.
    enum class Check { Whole, Cards };
    static qint64 VerifiedCardCount(const QString& fileName, Check check = Check::Whole);

    Connection& connection() const;

private:
    std::shared_ptr<Connection> connection_;
    QString fileName_;
};
