#include "convert/Exchange.h"

#include "convert/CsvCards.h"
#include "convert/HtmlCards.h"
#include "convert/JetConversion.h"
#include "convert/JetHeader.h"
#include "convert/JsonCards.h"
#include "convert/KnownCards.h"
#include "convert/MarkdownCards.h"
#include "platform/FileWriter.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

enum class Format { Collection, Csv, Json, Html, Markdown };

StoreError UnknownFormat(const QString& file) {
    return StoreError(StoreError::Kind::Failed,
                      QStringLiteral("Pivanes ne connaît pas le format de « %1 » : il importe et "
                                     "exporte les collections « .mdb », les fichiers « .csv » et "
                                     "« .json », les dossiers de fichiers Markdown (un nom qui "
                                     "finit par « / »), et exporte les pages « .html ». Rien n'a "
                                     "été copié.")
                          .arg(Shown(file)));
}

Format FormatOf(const QString& file) {
    if (file.endsWith(QLatin1Char('/')) || QFileInfo(file).isDir())
        return Format::Markdown;
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("mdb"))
        return Format::Collection;
    if (suffix == QLatin1String("csv"))
        return Format::Csv;
    if (suffix == QLatin1String("json"))
        return Format::Json;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return Format::Html;
    throw UnknownFormat(file);
}

// Tells the progress when its share changes.
class Reporter {
public:
    explicit Reporter(const Exchange::Progress& progress) : progress_(progress) {}
    void Card(int percent) {
        ++cards_;
        if (progress_ && percent != percent_) {
            percent_ = percent;
            progress_(cards_, percent);
        }
    }
    qint64 Cards() const { return cards_; }

private:
    const Exchange::Progress& progress_;
    qint64 cards_ = 0;
    int percent_ = -1;
};

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

// Gives the next card into its first argument, the second saying whether the target keeps the
// cards' numbers; false when there are no more.
using NumberedSource = std::function<bool(StoredCard&, bool numbersKept)>;

bool IsEmpty(Collection& collection) {
    return collection.Count(Selection::AllCards()).cards == 0 && collection.Trash().empty();
}

// The cards of the source into the target, less those already there unless they are wanted.
Imported ImportInto(Collection& target, const NumberedSource& next,
                    Exchange::Duplicates duplicates) {
    const bool numbersKept = IsEmpty(target);
    std::optional<KnownCards> known;
    if (!numbersKept && duplicates == Exchange::Duplicates::LeftOut)
        known.emplace(target);
    qint64 leftOut = 0;
    Imported imported = target.Import([&](StoredCard& card) {
        while (next(card, numbersKept)) {
            if (!known || !known->Holds(card))
                return true;
            ++leftOut;
        }
        return false;
    });
    imported.duplicatesLeftOut = leftOut;
    return imported;
}

// Imports the program's own collection file `file`.
Imported ImportOwnFormat(Collection& target, const QString& file, Exchange::Duplicates duplicates) {
    Collection::VerifiedCardCount(file);
    const std::unique_ptr<Collection> source = Collection::OpenLocal(file);
    const CardSource cards = Exchange::EveryCardOf(*source);
    return ImportInto(
        target, [&](StoredCard& card, bool) { return cards(card); }, duplicates);
}

Imported ImportCollection(const CollectionPlace& into, const QString& file,
                          Exchange::Duplicates duplicates) {
    if (into.kind == CollectionPlace::Kind::LocalFile && SameFile(file, into.name))
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("« %1 » est la collection elle-même : rien n'a été "
                                        "importé.")
                             .arg(Shown(file)));
    const std::unique_ptr<Collection> target = OpenTarget(into);
    if (!ReadJetHeader(file).IsJet())
        return ImportOwnFormat(*target, file, duplicates);
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
    return ImportOwnFormat(*target, converted, duplicates);
}

std::unique_ptr<CardText::Reader> ReaderOf(Format format, const QString& file) {
    switch (format) {
    case Format::Csv:
        return CsvCards::Reader(file);
    case Format::Json:
        return JsonCards::Reader(file);
    case Format::Markdown:
        return MarkdownCards::Reader(file);
    default:
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("« %1 » est une page à lire, que Pivanes écrit mais ne "
                                        "relit pas : importez plutôt un fichier « .csv » ou "
                                        "« .json », ou un dossier de fichiers Markdown. Rien n'a "
                                        "été importé.")
                             .arg(Shown(file)));
    }
}

Imported ImportFile(const CollectionPlace& into, const QString& file,
                    Exchange::Duplicates duplicates, const Exchange::Progress& progress) {
    const Format format = FormatOf(file);
    const bool isFolder = format == Format::Markdown;
    if (isFolder ? !QFileInfo(file).isDir() : !QFileInfo(file).isFile())
        throw StoreError(StoreError::Kind::MissingFile,
                         (isFolder ? QStringLiteral("« %1 » n'est pas un dossier : rien n'a été "
                                                    "importé.")
                                   : QStringLiteral("« %1 » n'est pas un fichier : rien n'a été "
                                                    "importé."))
                             .arg(Shown(file)));
    if (format == Format::Collection)
        return ImportCollection(into, file, duplicates);
    // The whole file is read, or its header at least, before the collection is touched.
    const std::unique_ptr<CardText::Reader> reader = ReaderOf(format, file);
    const std::unique_ptr<Collection> target = OpenTarget(into);
    Reporter reporter(progress);
    return ImportInto(
        *target,
        [&](StoredCard& card, bool numbersKept) {
            if (!reader->Next(card))
                return false;
            CardText::Check(card, *reader, numbersKept);
            reporter.Card(reader->Percent());
            return true;
        },
        duplicates);
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

StoreError AlreadyThere(const QString& file) {
    return StoreError(StoreError::Kind::Failed,
                      QStringLiteral("« %1 » existe déjà : Pivanes n'écrit jamais sur un "
                                     "fichier qui existe ni dans un dossier qui contient quelque "
                                     "chose. Rien n'a été exporté ; choisissez un autre nom.")
                          .arg(Shown(file)));
}

// Every card of the collection at one moment into the writer. A card lost on the way is a
// fault that the user hears of: the cards written are counted against the collection's.
qint64 WriteCards(Collection& source, CardText::Writer& writer,
                  const Exchange::Progress& progress) {
    const qint64 counted = source.Count(Selection::AllCards()).cards;
    Reporter reporter(progress);
    source.EachCard([&](const StoredCard& card) {
        writer.Add(card);
        reporter.Card(
            counted > 0 ? int(std::min<qint64>(100, (reporter.Cards() + 1) * 100 / counted)) : 100);
    });
    writer.Finish();
    // Another program writing meanwhile changes the count: only a steady one proves a loss.
    if (reporter.Cards() != counted && source.Count(Selection::AllCards()).cards == counted)
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("La collection compte %1 fiche(s), mais %2 ont été "
                                        "écrites : rien n'a été exporté.")
                             .arg(counted)
                             .arg(reporter.Cards()));
    return reporter.Cards();
}

qint64 ExportCollection(Collection& source, const QString& file) {
    const QString copy = file + QStringLiteral(".exportation");
    QFile::remove(copy);
    try {
        const qint64 cards = source.SnapshotInto(copy);
        PlaceWithoutReplacing(copy, file);
        return cards;
    } catch (...) {
        QFile::remove(copy);
        throw;
    }
}

std::unique_ptr<CardText::Writer> WriterOf(Format format, FileWriter& file) {
    switch (format) {
    case Format::Csv:
        return CsvCards::Writer(file);
    case Format::Json:
        return JsonCards::Writer(file);
    default:
        return HtmlCards::Writer(file);
    }
}

qint64 ExportFile(Collection& source, Format format, const QString& file,
                  const Exchange::Progress& progress) {
    const QString copy = file + QStringLiteral(".exportation");
    QFile::remove(copy);
    qint64 cards = 0;
    {
        FileWriter written(copy);
        cards = WriteCards(source, *WriterOf(format, written), progress);
        written.Commit();
    }
    PlaceWithoutReplacing(copy, file);
    return cards;
}

// The files are written into a folder beside, then the folder is put under its name, which
// takes the place of an empty folder only.
qint64 ExportFolder(Collection& source, const QString& folder, const Exchange::Progress& progress) {
    const QString work = folder + QStringLiteral(".exportation");
    QDir(work).removeRecursively();
    if (!QDir().mkpath(work))
        throw StoreError(StoreError::Kind::DiskError,
                         QStringLiteral("Le dossier « %1 » n'a pas pu être créé : rien n'a été "
                                        "exporté.")
                             .arg(Shown(work)));
    try {
        const qint64 cards = WriteCards(source, *MarkdownCards::Writer(work), progress);
        const int descriptor = ::open(QFile::encodeName(work).constData(), O_RDONLY | O_DIRECTORY);
        const bool synced = descriptor >= 0 && ::syncfs(descriptor) == 0;
        const int error = errno;
        if (descriptor >= 0)
            ::close(descriptor);
        if (!synced || std::rename(QFile::encodeName(work).constData(),
                                   QFile::encodeName(folder).constData()) != 0)
            throw StoreError(StoreError::Kind::Failed,
                             QStringLiteral("Les fichiers n'ont pas pu être mis dans « %1 » : "
                                            "rien n'a été exporté.")
                                 .arg(Shown(folder)),
                             UserError::SystemReason(synced ? errno : error));
        return cards;
    } catch (...) {
        QDir(work).removeRecursively();
        throw;
    }
}

qint64 ExportAny(const CollectionPlace& from, const QString& file,
                 const Exchange::Progress& progress) {
    const Format format = FormatOf(file);
    const QFileInfo target(file);
    if (format == Format::Markdown) {
        const QString folder = QDir::cleanPath(file);
        if (QFileInfo(folder).isSymLink() ||
            (QFileInfo::exists(folder) && (!QFileInfo(folder).isDir() || !QDir(folder).isEmpty())))
            throw AlreadyThere(folder);
        return ExportFolder(*Collection::Open(from), folder, progress);
    }
    if (target.exists() || target.isSymLink())
        throw AlreadyThere(file);
    const std::unique_ptr<Collection> source = Collection::Open(from);
    return format == Format::Collection ? ExportCollection(*source, file)
                                        : ExportFile(*source, format, file, progress);
}

// What an import added, and what it left out.
QString ImportedCards(const Imported& imported) {
    QString said = QStringLiteral("%1 fiche(s)").arg(imported.cards);
    if (imported.cards == 1)
        said += QStringLiteral(", fiche N° %1").arg(imported.first);
    else if (imported.cards > 1)
        said += QStringLiteral(", fiches N° %1 à %2").arg(imported.first).arg(imported.last);
    if (imported.cards > 0)
        said += imported.numbersKept
                    ? QStringLiteral(", avec leurs numéros")
                    : QStringLiteral(", numérotées après la dernière fiche de la collection, qui "
                                     "en avait déjà : leurs numéros ont changé");
    if (imported.duplicatesLeftOut == 1)
        said += QStringLiteral(" ; 1 fiche identique (catégorie, titre et texte) à une fiche déjà "
                               "dans la collection n'a pas été ajoutée (l'option « --doublons » "
                               "l'ajoute)");
    else if (imported.duplicatesLeftOut > 1)
        said += QStringLiteral(" ; %1 fiches identiques (catégorie, titre et texte) à une fiche "
                               "déjà dans la collection n'ont pas été ajoutées (l'option "
                               "« --doublons » les ajoute)")
                    .arg(imported.duplicatesLeftOut);
    return said;
}

// A line on the terminal that a long copy rewrites in place.
Exchange::Progress TerminalLine(QTextStream& err, const QString& doing, bool& shown) {
    if (!::isatty(STDERR_FILENO))
        return {};
    return [&err, doing, &shown](qint64 cards, int percent) {
        if (cards < Exchange::kCardsShowingProgress && !shown)
            return;
        shown = true;
        err << QStringLiteral("\r%1 : %2 % (%3 fiches)").arg(doing).arg(percent).arg(cards)
            << Qt::flush;
    };
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

Imported ImportCards(const CollectionPlace& into, const QString& file, Duplicates duplicates,
                     const Progress& progress) {
    return ImportFile(into, file, duplicates, progress);
}

qint64 ExportCards(const CollectionPlace& from, const QString& file, const Progress& progress) {
    return ExportAny(from, file, progress);
}

int Import(const CollectionPlace& into, const QString& file, Duplicates duplicates,
           QTextStream& out, QTextStream& err) {
    bool shown = false;
    try {
        const Imported imported = ImportCards(
            into, file, duplicates, TerminalLine(err, QStringLiteral("Importation"), shown));
        if (shown)
            err << Qt::endl;
        out << QStringLiteral("« %1 » est importé dans %2 : %3.")
                   .arg(Shown(file), WhereTo(into), ImportedCards(imported))
            << Qt::endl;
        return 0;
    } catch (const UserError& error) {
        if (shown)
            err << Qt::endl;
        err << error.text() << Qt::endl;
        return 1;
    }
}

int Export(const CollectionPlace& from, const QString& file, QTextStream& out, QTextStream& err) {
    bool shown = false;
    try {
        const qint64 cards =
            ExportCards(from, file, TerminalLine(err, QStringLiteral("Exportation"), shown));
        if (shown)
            err << Qt::endl;
        QString source = WhereTo(from);
        source[0] = source[0].toUpper();
        out << QStringLiteral("%1 est exportée dans « %2 » : %3 fiche(s), autant que la "
                              "collection en compte.")
                   .arg(source, Shown(file))
                   .arg(cards)
            << Qt::endl;
        return 0;
    } catch (const UserError& error) {
        if (shown)
            err << Qt::endl;
        err << error.text() << Qt::endl;
        return 1;
    }
}

} // namespace Exchange
