#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A minimal writer of the Jet (Access) file format, enough to make collections of the old program
// for tests: one table with the four card columns, and the catalogue that names it. Memo texts are
// stored inline, on one long-value page, or chained over several pages, as their length needs.
struct JetCard {
    qint32 Numero = 0;
    std::optional<QString> Cate;
    std::optional<QString> Titre;
    std::optional<QString> Pivanes;
};

class JetWriter {
public:
    enum class Version { Jet3, Jet4 };

    explicit JetWriter(Version version);

    JetWriter& TableName(const QString& name);
    // Jet 4 only: texts of Latin-1 letters are stored in the compressed form.
    JetWriter& Compress(bool compress);
    JetWriter& CodePage(quint16 codePage);
    // A database password, as the header stores it.
    JetWriter& Password(const QByteArray& password);
    // The header's key of the encrypted page format.
    JetWriter& EncryptionKey(quint32 key);

    void Add(const JetCard& card);
    // A row deleted from the table, still on its page.
    void AddDeleted(const JetCard& card);
    // A row that grew and was moved to another place, leaving a pointer where it was.
    void AddMoved(const JetCard& card);
    QByteArray Bytes() const;
    void Write(const QString& fileName) const;

private:
    Version version_;
    QString tableName_ = QStringLiteral("TrucPivane");
    bool compress_ = true;
    quint16 codePage_ = 1252;
    QByteArray password_;
    quint32 encryptionKey_ = 0;
    enum class Kind { Live, Deleted, Moved };
    struct Entry {
        JetCard card;
        Kind kind;
    };
    QList<Entry> cards_;
};
