#include "convert/JetConversion.h"

#include "convert/Isolated.h"
#include "convert/JetSource.h"
#include "platform/FileWriter.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kProgressStep = 256;

QString Shown(const QString& fileName) {
    return QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
}

JetError Failure(const QString& jetFile, const QString& reason) {
    return JetError(StoreError::Kind::Failed,
                    QStringLiteral("La conversion de « %1 » a échoué : %2 Le fichier Jet n'a "
                                   "pas été modifié.")
                        .arg(Shown(jetFile), reason));
}

// A minute, and five seconds more per mebibyte of the file: ten times what a sound file takes.
constexpr std::chrono::seconds kTimeFloor(60);
constexpr std::chrono::seconds kTimePerMebibyte(5);

// libmdb may crash, or read for ever, on a damaged file: the conversion runs in a child process
// of its own, within a time that grows with the file.
Isolated::Limits ChildLimits(const QString& jetFile) {
    const auto time = kTimeFloor + kTimePerMebibyte * (QFileInfo(jetFile).size() >> 20);
    return {time,
            QStringLiteral("Le fichier « %1 » est au format Jet (Access) mais il est endommagé : "
                           "sa lecture s'est arrêtée en cours de route. Il n'a pas été modifié.")
                .arg(Shown(jetFile)),
            QStringLiteral("La lecture du fichier Jet « %1 » durait encore après %2 minute(s), "
                           "bien plus qu'il n'en faut à un fichier sain de cette taille : elle a "
                           "été arrêtée. Le fichier est sans doute endommagé ; il n'a pas été "
                           "modifié.")
                .arg(Shown(jetFile))
                .arg((time.count() + 59) / 60)};
}

QString WorkName(const QString& jetFile) {
    return jetFile + QStringLiteral(".conversion");
}

void RemoveWork(const QString& jetFile) {
    QFile::remove(WorkName(jetFile));
    QFile::remove(WorkName(jetFile) + QStringLiteral("-journal"));
}

QString CandidateName(const QString& jetFile, int n) {
    const QFileInfo info(jetFile);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString tail = n == 1 ? QStringLiteral("-jet") : QStringLiteral("-jet-%1").arg(n);
    return info.dir().filePath(info.completeBaseName() + tail + suffix);
}

bool SameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A copy under a name nobody has, for file systems without hard links; false when the name is
// taken.
bool CopyExclusively(const QString& source, const QString& target) {
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    QFile in(source);
    bool copied = in.open(QIODevice::ReadOnly);
    while (copied && !in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        copied = !chunk.isEmpty() && out.write(chunk) == chunk.size();
    }
    copied = copied && out.flush() && ::fsync(out.handle()) == 0;
    out.close();
    if (!copied || !SameBytes(source, target)) {
        QFile::remove(target);
        throw Failure(source, QStringLiteral("l'original ne peut pas être recopié sous le nom "
                                             "« %1 ».")
                                  .arg(QFileInfo(target).fileName()));
    }
    return true;
}

// Gives the Jet file its second name: a hard link, so that the original stays byte for byte what
// it was, and never over an existing file. A link left by an interrupted conversion is reused.
QString KeepOriginal(const QString& jetFile) {
    for (int n = 1;; ++n) {
        QString name = CandidateName(jetFile, n);
        if (::link(QFile::encodeName(jetFile).constData(), QFile::encodeName(name).constData()) ==
            0)
            return name;
        if (errno == EEXIST) {
            if (SameFile(jetFile, name))
                return name;
            continue;
        }
        if ((errno == EPERM || errno == EOPNOTSUPP || errno == EXDEV) &&
            CopyExclusively(jetFile, name))
            return name;
        if (QFileInfo::exists(name))
            continue;
        throw Failure(
            jetFile, QStringLiteral("l'original ne peut pas être gardé sous le nom « %1 » (%2).")
                         .arg(QFileInfo(name).fileName(), QString::fromLocal8Bit(strerror(errno))));
    }
}

class ProgressCounter {
public:
    ProgressCounter(const JetConversion::Progress& progress, qint64 total)
        : progress_(progress), total_(total) {}
    void Step() {
        ++done_;
        if (progress_ && (done_ % kProgressStep == 0 || done_ == total_))
            progress_(done_, total_);
    }

private:
    const JetConversion::Progress& progress_;
    qint64 total_;
    qint64 done_ = 0;
};

// Fills the empty work file the writer made.
qint64 WriteCards(const QString& jetFile, const QString& work, ProgressCounter& progress) {
    Collection::CreateLocal(work);
    JetSource source(jetFile);
    JetCardRow row;
    QSet<qint32> numbers;
    return Collection::OpenLocal(work)
        ->Import([&](StoredCard& card) {
            if (!source.Next(row))
                return false;
            if (numbers.contains(row.Numero))
                throw Failure(jetFile, QStringLiteral("deux fiches portent le numéro %1 ; un "
                                                      "numéro doit être unique.")
                                           .arg(row.Numero));
            numbers.insert(row.Numero);
            card = {row.Numero, row.Cate, row.Titre, row.Pivanes};
            progress.Step();
            return true;
        })
        .cards;
}

// Reads the Jet file a second time and finds each of its cards, unchanged, in the new file.
void CompareCards(const QString& jetFile, const QString& work, ProgressCounter& progress) {
    const std::unique_ptr<Collection> copy = Collection::OpenLocal(work);
    JetSource source(jetFile);
    JetCardRow row;
    while (source.Next(row)) {
        const std::optional<StoredCard> found = copy->ReadCard(row.Numero);
        if (!found || found->cate != row.Cate || found->titre != row.Titre ||
            found->pivanes != row.Pivanes)
            throw Failure(jetFile, QStringLiteral("la fiche numéro %1 n'a pas été recopiée à "
                                                  "l'identique.")
                                       .arg(row.Numero));
        progress.Step();
    }
}

} // namespace

namespace JetConversion {

qint64 CountCards(const QString& jetFile) {
    return Isolated::Run("jet-compter", {jetFile}, {}, ChildLimits(jetFile)).number;
}

QString KeptName(const QString& jetFile) {
    for (int n = 1;; ++n) {
        QString name = CandidateName(jetFile, n);
        if (!QFileInfo::exists(name) || SameFile(jetFile, name))
            return name;
    }
}

namespace {

// Writes the cards into the writer's temporary, checked whole and card by card.
qint64 WriteChecked(const QString& jetFile, const FileWriter& file, const Progress& progress) {
    JetSource counting(jetFile);
    const qint64 total = counting.CountCards();
    ProgressCounter counter(progress, 2 * total);
    const qint64 cards = WriteCards(jetFile, file.TemporaryName(), counter);
    if (Collection::VerifiedCardCount(file.TemporaryName()) != cards)
        throw Failure(jetFile, QStringLiteral("le nouveau fichier ne contient pas toutes les "
                                              "fiches."));
    CompareCards(jetFile, file.TemporaryName(), counter);
    return cards;
}

Outcome ConvertChecked(const QString& jetFile, const Progress& progress) {
    Outcome outcome;
    RemoveWork(jetFile);
    // The writer removes its work file unless it is committed.
    FileWriter file(jetFile, WorkName(jetFile));
    outcome.cards = WriteChecked(jetFile, file, progress);
    outcome.keptAs = KeepOriginal(jetFile);
    try {
        file.Commit();
    } catch (...) {
        if (SameFile(jetFile, outcome.keptAs))
            QFile::remove(outcome.keptAs);
        throw;
    }
    return outcome;
}

// In the child process: every failure in French.
template <typename Work> auto Reported(const QString& jetFile, const Work& work) {
    try {
        return work();
    } catch (const JetError&) {
        throw;
    } catch (const UserError& error) {
        // The new file's own failures: the disk, the engine.
        throw Failure(jetFile, error.text());
    }
}

} // namespace

Outcome ConvertInThisProcess(const QString& jetFile, const Progress& progress) {
    return Reported(jetFile, [&] { return ConvertChecked(jetFile, progress); });
}

qint64 CopyInto(const QString& jetFile, const QString& target) {
    return Isolated::Run("jet-copier", {jetFile, target}, {}, ChildLimits(jetFile)).number;
}

Outcome Convert(const QString& jetFile, const Progress& progress) {
    try {
        const Isolated::Result result =
            Isolated::Run("jet-convertir", {jetFile}, progress, ChildLimits(jetFile));
        return {result.number, result.text};
    } catch (const StoreError&) {
        // A child that died leaves its work file behind; the Jet file has no other name yet.
        RemoveWork(jetFile);
        throw;
    }
}

} // namespace JetConversion

namespace {

// What the children run: the arguments are the Jet file, and the target of a copy.
Isolated::Result CountInChild(const QStringList& arguments, const Isolated::Report&) {
    JetSource source(arguments.at(0));
    return {source.CountCards(), {}};
}

Isolated::Result CopyInChild(const QStringList& arguments, const Isolated::Report&) {
    const QString& jetFile = arguments.at(0);
    return JetConversion::Reported(jetFile, [&] {
        FileWriter file(arguments.at(1));
        const qint64 cards = JetConversion::WriteChecked(jetFile, file, {});
        file.Commit();
        return Isolated::Result{cards, {}};
    });
}

Isolated::Result ConvertInChild(const QStringList& arguments, const Isolated::Report& report) {
    const JetConversion::Outcome outcome =
        JetConversion::ConvertInThisProcess(arguments.at(0), report);
    return {outcome.cards, outcome.keptAs};
}

[[maybe_unused]] const bool kOffered = Isolated::Offer("jet-compter", &CountInChild) &&
                                       Isolated::Offer("jet-copier", &CopyInChild) &&
                                       Isolated::Offer("jet-convertir", &ConvertInChild);

} // namespace
