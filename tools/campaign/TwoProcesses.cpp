#include "TwoProcesses.h"

#include "ChildProcess.h"
#include "Collections.h"
#include "Figures.h"
#include "Operations.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <map>
#include <poll.h>
#include <time.h>

namespace {

using std::chrono::milliseconds;

qint64 Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void Say(const QByteArray& line) {
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QByteArray OneLine(const QString& text) {
    return text.toUtf8().replace('\n', ' ');
}

bool InputClosed() {
    pollfd input{0, POLLIN, 0};
    char byte;
    return ::poll(&input, 1, 0) > 0 && ::read(0, &byte, 1) <= 0;
}

RawCard SaveCard(quint64 seed, int k) {
    QRandomGenerator random = Seeded(seed * 7919 + quint64(k));
    return RandomCard(random, 0, "SAUVEGARDE " + QByteArray::number(k));
}

struct Save {
    int k;
    qint64 numero;
    qint64 time;
};

// The cards that must be there after a round, and those that may be.
struct Expectation {
    std::map<qint64, std::pair<RawCard, bool>> required; // card, is a save
    std::vector<RawCard> optional;
};

void CheckRound(const QString& database, const Expectation& expected, const QString& replay,
                Figures& figures) {
    const Inspection found = Inspect(database);
    if (!found.problem.isEmpty()) {
        ++figures.damagedDatabases;
        figures.Find(QStringLiteral("two processes"),
                     QStringLiteral("Pivane.mdb is not a whole database: ") + found.problem,
                     replay);
        return;
    }
    figures.cardsChecked += qint64(found.cards.size());
    std::map<qint64, bool> present;
    for (const RawCard& card : found.cards) {
        const auto required = expected.required.find(card.numero);
        if (required != expected.required.end() && required->second.first == card) {
            present[card.numero] = true;
            continue;
        }
        if (std::find(expected.optional.begin(), expected.optional.end(), card) !=
            expected.optional.end())
            continue;
        ++figures.cardsChanged;
        figures.Find(QStringLiteral("two processes"),
                     QStringLiteral("card %1 is none of the cards written: \"%2\"")
                         .arg(card.numero)
                         .arg(QString::fromUtf8(card.titre.value_or(QByteArray()).left(40))),
                     replay);
    }
    for (const auto& [numero, card] : expected.required) {
        if (card.second)
            ++figures.savesChecked;
        if (present.count(numero))
            continue;
        ++(card.second ? figures.savesLost : figures.cardsLost);
        figures.Find(QStringLiteral("two processes"),
                     QStringLiteral("%1 %2 \"%3\" is gone or changed")
                         .arg(card.second ? QStringLiteral("the save reported done of card")
                                          : QStringLiteral("card"))
                         .arg(numero)
                         .arg(QString::fromUtf8(card.first.titre.value_or(QByteArray()).left(40))),
                     replay);
    }
}

void RunRound(const TwoProcessSettings& settings, int round, Figures& figures) {
    QElapsedTimer timer;
    timer.start();
    const bool restoring = round % 2 == 1;
    const quint64 seed = settings.seed * 7777 + quint64(round);
    const QString root = settings.work + QStringLiteral("/two");
    RemoveTree(root);
    QDir().mkpath(root + QStringLiteral("/data"));
    QDir().mkpath(root + QStringLiteral("/backup"));
    const QString canonical = QFileInfo(root).canonicalFilePath();
    const QString data = canonical + QStringLiteral("/data");
    const QString backup = canonical + QStringLiteral("/backup");
    QRandomGenerator random = Seeded(seed);
    const CardList live = RandomCards(random, 100, 1, "VIVANTE");
    const CardList saved = RandomCards(random, 80, 1, "SAUVEE");
    WriteDatabase(data + QStringLiteral("/Pivane.mdb"), live, {200, true});
    if (restoring) {
        WriteDatabase(backup + QStringLiteral("/PIVANE.MDB"), saved);
        PutFile(backup + QStringLiteral("/SAUVE.KOR"),
                Operations::MarkerBytes({backup + '/', data + '/', QStringLiteral("02/02/2019")}));
    }
    const int commands = 2 + random.bounded(3);
    const QString replay = QStringLiteral("--seed %1 --round %2").arg(settings.seed).arg(round);

    ChildProcess saver({QStringLiteral("saver"), data, QString::number(seed)});
    std::vector<Save> saves;
    int refusedSaves = 0;
    const auto readSaver = [&](milliseconds wait) {
        while (const std::optional<QByteArray> line = saver.ReadLine(wait)) {
            const QList<QByteArray> words = line->split(' ');
            if (words[0] == "saved" && words.size() == 4)
                saves.push_back({words[1].toInt(), words[2].toLongLong(), words[3].toLongLong()});
            else
                ++refusedSaves;
            wait = milliseconds(0);
        }
    };
    while (saves.empty() && !saver.OutputEnded())
        readSaver(milliseconds(200));

    ChildProcess other(
        restoring ? QStringList{QStringLiteral("restorer"), data, backup, QString::number(commands)}
                  : QStringList{QStringLiteral("compactor"), data, QString::number(commands)});
    std::vector<std::pair<qint64, qint64>> restores; // begin, end
    qint64 begin = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!other.OutputEnded() && std::chrono::steady_clock::now() < giveUp) {
        if (const std::optional<QByteArray> line = other.ReadLine(milliseconds(10))) {
            const QList<QByteArray> words = line->split(' ');
            if (words[0] == "begin") {
                begin = words.value(1).toLongLong();
            } else if (words[0] == "restored" || words[0] == "compacted") {
                ++figures.otherCommandsDone;
                restores.emplace_back(begin, words.value(1).toLongLong());
            } else {
                ++figures.otherCommandsRefused;
                std::fprintf(stderr, "round %d: %s\n", round, line->constData());
            }
        }
        readSaver(milliseconds(0));
    }
    const ChildProcess::End otherEnd =
        other.Wait(other.OutputEnded() ? milliseconds(60000) : milliseconds(0));
    if (other.TimedOut()) {
        ++figures.hangs;
        figures.Find(QStringLiteral("two processes"),
                     QStringLiteral("%1 commands not finished after 2 minutes").arg(commands),
                     replay);
    }
    // Saves after the last command, which must all stay.
    const std::size_t before = saves.size();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (saves.size() < before + 20 && !saver.OutputEnded() &&
           std::chrono::steady_clock::now() < deadline)
        readSaver(milliseconds(200));
    saver.CloseInput();
    const ChildProcess::End saverEnd = saver.Wait(milliseconds(60000));
    for (const QByteArray& line : saver.RemainingLines()) {
        const QList<QByteArray> words = line.split(' ');
        if (words[0] == "saved" && words.size() == 4)
            saves.push_back({words[1].toInt(), words[2].toLongLong(), words[3].toLongLong()});
        else
            ++refusedSaves;
    }

    ++figures.rounds;
    figures.savesDone += int(saves.size());
    figures.savesRefused += refusedSaves;
    for (const auto* end : {&otherEnd, &saverEnd}) {
        if (end->Crashed() || end->exitCode != 0 || (end->killedByUs && !other.TimedOut())) {
            ++figures.crashes;
            figures.Find(QStringLiteral("two processes"),
                         QStringLiteral("a child ended abnormally: ") + end->Describe(), replay);
        }
        if (end->SanitizerReport())
            ++figures.sanitizerReports;
    }

    // A restore wipes what was saved before it began; what was saved during it may stay or go.
    const bool restored = restoring && !restores.empty();
    const qint64 lastBegin = restored ? restores.back().first : 0;
    const qint64 lastEnd = restored ? restores.back().second : 0;
    Expectation expected;
    for (const RawCard& card : restored ? saved : live)
        expected.required[card.numero] = {card, false};
    for (const Save& save : saves) {
        RawCard card = SaveCard(seed, save.k);
        card.numero = save.numero;
        if (save.time >= lastBegin && save.time <= lastEnd) {
            expected.optional.push_back(card);
            continue;
        }
        if (save.time < lastBegin)
            continue;
        // The number of the last card is taken again only when that card has gone.
        const auto earlier = expected.required.find(card.numero);
        if (earlier != expected.required.end() && earlier->second.second) {
            ++figures.savesLost;
            ++figures.savesChecked;
            figures.Find(QStringLiteral("two processes"),
                         QStringLiteral("the save reported done of card %1 \"%2\" is gone: a later "
                                        "save was given its number")
                             .arg(card.numero)
                             .arg(QString::fromUtf8(earlier->second.first.titre->left(40))),
                         replay);
        }
        expected.required[card.numero] = {card, true};
    }
    CheckRound(data + QStringLiteral("/Pivane.mdb"), expected, replay, figures);
    std::fprintf(stderr, "round %d (%s): %zu saves, %zu commands done, %lld ms\n", round,
                 restoring ? "restore" : "compaction", saves.size(), restores.size(),
                 timer.elapsed());
}

} // namespace

void RunTwoProcesses(const TwoProcessSettings& settings, Figures& figures) {
    if (settings.only >= 0)
        RunRound(settings, settings.only, figures);
    for (int round = 0; settings.only < 0 && round < settings.rounds; ++round)
        RunRound(settings, round, figures);
    RemoveTree(settings.work + QStringLiteral("/two"));
}

int RunSaver(quint64 seed) {
    bool open = false;
    for (int k = 0; !InputClosed(); ++k) {
        try {
            if (!open)
                Operations::OpenCollection();
            open = true;
            const qint64 numero = Operations::AddCard(SaveCard(seed, k));
            Say("saved " + QByteArray::number(k) + ' ' + QByteArray::number(numero) + ' ' +
                QByteArray::number(Now()));
        } catch (...) {
            Say("refused " + QByteArray::number(k) + ' ' + OneLine(Operations::CurrentErrorText()));
            // As the user would after a failure: start the program again.
            open = false;
        }
    }
    return 0;
}

namespace {

int RunCommands(int count,
                const std::function<Operations::Said(const std::function<void()>&)>& command,
                const QByteArray& done) {
    for (int i = 0; i < count; ++i) {
        const Operations::Said said = command([] { Say("begin " + QByteArray::number(Now())); });
        if (said.done)
            Say(done + ' ' + QByteArray::number(Now()));
        else
            Say("refused " + OneLine(said.messages.join(QStringLiteral(" / "))));
    }
    return 0;
}

} // namespace

int RunCompactor(int count, int& argc, char** argv) {
    const auto windows = Operations::StartWindows(argc, argv);
    return RunCommands(count, Operations::Compact, "compacted");
}

int RunRestorer(const QString& backup, int count, int& argc, char** argv) {
    const auto windows = Operations::StartWindows(argc, argv);
    return RunCommands(
        count,
        [&](const std::function<void()>& prepare) { return Operations::Restore(backup, prepare); },
        "restored");
}
