#include "convert/Exchange.h"

#include "convert/JetConversion.h"
#include "convert/JetHeader.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <cerrno>
#include <limits>
#include <unistd.h>

namespace {

constexpr qint64 kPageOfNumbers = 512;

QString Shown(const QString& file) {
    return QDir::toNativeSeparators(file);
}

QString WhereTo(const CollectionPlace& place) {
    return place.kind == CollectionPlace::Kind::Server
               ? QStringLiteral("la collection du serveur « %1 »").arg(place.name)
               : QStringLiteral("la collection « %1 »").arg(Shown(place.name));
}

bool IsOwnFormat(const QString& file) {
    return file.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive);
}

StoreError UnknownFormat(const QString& file) {
    return StoreError(StoreError::Kind::Failed,
                      QStringLiteral("Pivanes ne connaît pas le format de « %1 » : il importe et "
                                     "exporte les collections « .mdb ». Rien n'a été copié.")
                          .arg(Shown(file)));
}

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

std::unique_ptr<Collection> OpenTarget(const CollectionPlace& into) {
    if (into.kind == CollectionPlace::Kind::LocalFile && !QFileInfo::exists(into.name))
        Collection::CreateLocal(into.name);
    return Collection::Open(into);
}

// Imports the program's own collection file `file`.
Imported ImportOwnFormat(Collection& target, const QString& file) {
    Collection::VerifiedCardCount(file);
    const std::unique_ptr<Collection> source = Collection::OpenLocal(file);
    return target.Import(Exchange::EveryCardOf(*source));
}

Imported ImportFile(const CollectionPlace& into, const QString& file) {
    if (!QFileInfo(file).isFile())
        throw StoreError(
            StoreError::Kind::MissingFile,
            QStringLiteral("« %1 » n'est pas un fichier : rien n'a été importé.").arg(Shown(file)));
    if (!IsOwnFormat(file))
        throw UnknownFormat(file);
    if (into.kind == CollectionPlace::Kind::LocalFile && SameFile(file, into.name))
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("« %1 » est la collection elle-même : rien n'a été "
                                        "importé.")
                             .arg(Shown(file)));
    const std::unique_ptr<Collection> target = OpenTarget(into);
    if (!ReadJetHeader(file).IsJet())
        return ImportOwnFormat(*target, file);
    // The old program's file is first written into a file of the program's own format, in a
    // child process that a damaged file cannot bring down.
    const QTemporaryDir work;
    if (!work.isValid())
        throw StoreError(StoreError::Kind::DiskError,
                         QStringLiteral("Aucun dossier temporaire n'a pu être créé pour lire le "
                                        "fichier Jet : rien n'a été importé."),
                         work.errorString());
    const QString converted = work.filePath(QStringLiteral("Pivane.mdb"));
    JetConversion::CopyInto(file, converted);
    return ImportOwnFormat(*target, converted);
}

// Puts the finished copy under its name only if the name is free, whoever takes it meanwhile.
void PlaceWithoutReplacing(const QString& copy, const QString& file) {
    const int linked =
        ::link(QFile::encodeName(copy).constData(), QFile::encodeName(file).constData());
    const int error = errno;
    QFile::remove(copy);
    if (linked != 0)
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("La copie n'a pas pu être mise sous le nom « %1 » : rien "
                                        "n'a été exporté.")
                             .arg(Shown(file)),
                         UserError::SystemReason(error));
}

qint64 ExportFile(const CollectionPlace& from, const QString& file) {
    if (!IsOwnFormat(file))
        throw UnknownFormat(file);
    if (QFileInfo(file).exists() || QFileInfo(file).isSymLink())
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("« %1 » existe déjà : Pivanes n'écrit jamais sur un "
                                        "fichier qui existe. Rien n'a été exporté ; choisissez un "
                                        "autre nom.")
                             .arg(Shown(file)));
    const std::unique_ptr<Collection> source = Collection::Open(from);
    const QString copy = file + QStringLiteral(".exportation");
    QFile::remove(copy);
    try {
        const qint64 cards = source->SnapshotInto(copy);
        PlaceWithoutReplacing(copy, file);
        return cards;
    } catch (...) {
        QFile::remove(copy);
        throw;
    }
}

} // namespace

namespace Exchange {

CardSource EveryCardOf(Collection& collection) {
    struct Walk {
        std::unique_ptr<CardRows> rows;
        std::vector<CardRow> page;
        std::size_t next = 0;
        qint64 from = std::numeric_limits<qint64>::min();
        bool done = false;
    };
    auto walk = std::make_shared<Walk>();
    walk->rows = collection.Rows(Selection::AllCards());
    return [&collection, walk](StoredCard& card) {
        if (walk->next == walk->page.size()) {
            walk->page = walk->done ? std::vector<CardRow>()
                                    : walk->rows->Upward(walk->from, 0, kPageOfNumbers);
            walk->next = 0;
            if (walk->page.empty())
                return false;
            walk->done = walk->page.back().numero == std::numeric_limits<qint64>::max();
            walk->from = walk->done ? walk->from : walk->page.back().numero + 1;
        }
        const qint64 numero = walk->page[walk->next++].numero;
        const std::optional<StoredCard> read = collection.ReadCard(numero);
        if (!read)
            throw StoreError(StoreError::Kind::Failed,
                             QStringLiteral("La fiche N° %1 a disparu de la collection pendant "
                                            "sa lecture : rien n'a été copié.")
                                 .arg(numero));
        card = *read;
        return true;
    };
}

int Import(const CollectionPlace& into, const QString& file, QTextStream& out, QTextStream& err) {
    try {
        const Imported imported = ImportFile(into, file);
        out << QStringLiteral("« %1 » est importé dans %2 : %3 fiche(s), %4.")
                   .arg(Shown(file), WhereTo(into))
                   .arg(imported.cards)
                   .arg(imported.numbersKept
                            ? QStringLiteral("avec leurs numéros")
                            : QStringLiteral("numérotées après la dernière fiche de la "
                                             "collection, qui en avait déjà : leurs numéros "
                                             "ont changé"))
            << Qt::endl;
        return 0;
    } catch (const UserError& error) {
        err << error.text() << Qt::endl;
        return 1;
    }
}

int Export(const CollectionPlace& from, const QString& file, QTextStream& out, QTextStream& err) {
    try {
        const qint64 cards = ExportFile(from, file);
        out << QStringLiteral("%1 est exportée dans « %2 » : %3 fiche(s).")
                   .arg(WhereTo(from), Shown(file))
                   .arg(cards)
            << Qt::endl;
        return 0;
    } catch (const UserError& error) {
        err << error.text() << Qt::endl;
        return 1;
    }
}

} // namespace Exchange
