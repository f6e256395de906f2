#include "HugeCards.h"

#include "Measuring.h"

#include "NewCollection.h"
#include "ProgramSide.h"
#include "WindowControls.h"
#include "edit/CardEditor.h"
#include "platform/Application.h"
#include "print/PrintPreview.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "shell/Session.h"
#include "store/CategoryCatalogue.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

enum class Shape { OneLine, OneWord, ManyLines };

struct HugeCard {
    const char* name;
    qsizetype bytes;
    Shape shape;
    bool inTitle;
};

constexpr qsizetype kKb = 1000;
constexpr qsizetype kMb = 1000 * kKb;

// Each huge card follows a small one, so that a step lands on it from an ordinary card.
const HugeCard kCards[] = {
    {"Texte de 100 Ko sur une ligne", 100 * kKb, Shape::OneLine, false},
    {"Texte de 1 Mo sur une ligne", kMb, Shape::OneLine, false},
    {"Texte de 10 Mo sur une ligne", 10 * kMb, Shape::OneLine, false},
    {"Texte de 100 Ko d'un seul mot", 100 * kKb, Shape::OneWord, false},
    {"Texte de 1 Mo d'un seul mot", kMb, Shape::OneWord, false},
    {"Texte de 10 Mo d'un seul mot", 10 * kMb, Shape::OneWord, false},
    {"Texte de 100 Ko en lignes", 100 * kKb, Shape::ManyLines, false},
    {"Texte de 1 Mo en lignes", kMb, Shape::ManyLines, false},
    {"Texte de 10 Mo en lignes", 10 * kMb, Shape::ManyLines, false},
    {"Titre de 1 Mo sur une ligne", kMb, Shape::OneLine, true},
    {"Titre de 10 Mo sur une ligne", 10 * kMb, Shape::OneLine, true},
};

// A pasted log: words and blanks, one line or lines of about 70 characters; or one long word.
QString HugeText(qsizetype bytes, Shape shape) {
    static const QString kWords[] = {QStringLiteral("erreur"),   QStringLiteral("réseau"),
                                     QStringLiteral("0x7ffd3a"), QStringLiteral("connexion"),
                                     QStringLiteral("délai"),    QStringLiteral("paquet")};
    QString text;
    text.reserve(bytes + 16);
    qsizetype lineLength = 0;
    for (int word = 0; text.size() < bytes; ++word) {
        text += shape == Shape::OneWord ? QStringLiteral("ABCDEFGHIJ") : kWords[word % 6];
        if (shape == Shape::OneWord)
            continue;
        lineLength += 8;
        if (shape == Shape::ManyLines && lineLength > 70) {
            text += QStringLiteral("\r\n");
            lineLength = 0;
        } else {
            text += QLatin1Char(' ');
        }
    }
    return text;
}

qint32 HugeNumero(int index) {
    return 2 * (index + 1);
}

double TimedMs(const std::function<void()>& op) {
    QElapsedTimer timer;
    timer.start();
    op();
    return double(timer.nsecsElapsed()) / 1e6;
}

// What the user waits for: the command and the drawing of the window it leaves on screen.
void Drawn(QWidget& window) {
    window.repaint();
    QCoreApplication::processEvents();
}

void DropUnloadedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

namespace HugeCards {

void WriteCollection(const QString& file) {
    QList<Card> cards;
    int index = 0;
    for (const HugeCard& huge : kCards) {
        const qint32 numero = HugeNumero(index++);
        cards.append({numero - 1, QStringLiteral("WIN"), QStringLiteral("PETITE FICHE"),
                      QStringLiteral("Une ligne.\r\n")});
        const QString text = HugeText(huge.bytes, huge.shape);
        cards.append({numero, QStringLiteral("WIN"),
                      huge.inTitle ? text : QString::fromUtf8(huge.name),
                      huge.inTitle ? QStringLiteral("Texte court.\r\n") : text});
    }
    cards.append({HugeNumero(index) - 1, QStringLiteral("WIN"), QStringLiteral("DERNIERE FICHE"),
                  QStringLiteral("Fin.\r\n")});
    WriteNewCollection(file, cards);
}

int RunChild(int reps) {
    QTextStream out(stdout);
    ProgramSide::WindowSession().OpenCollection();
    MainWindow& main = OpenMainWindow(ProgramSide::WindowSession());
    Control<QAction>(main, CategoryCatalogue::FindByCode(QStringLiteral("WIN"))->menuItem)
        ->trigger();
    int index = 0;
    for (const HugeCard& huge : kCards) {
        const qint32 numero = HugeNumero(index++);
        std::vector<double> show, stepOn, stepOff, edit, preview;
        for (int run = 0; run <= reps; ++run) {
            // From the list: the card looked up by number and shown.
            const double showMs = TimedMs([&] {
                main.showChosenCard(numero);
                Drawn(main);
            });
            // ">" from the small card before it, then ">" away from it.
            main.showChosenCard(numero - 1);
            const double onMs = TimedMs([&] {
                Control<QPushButton>(main, "Command2")->click();
                Drawn(main);
            });
            const double offMs = TimedMs([&] {
                Control<QPushButton>(main, "Command2")->click();
                Drawn(main);
            });
            Control<QPushButton>(main, "Command1")->click();
            const double editMs = TimedMs([&] {
                Drawn(LoadWindow(
                    new CardEditor(ProgramSide::WindowSession(), numero, QStringLiteral("WIN"))));
            });
            FindWindow<CardEditor>()->Unload();
            DropUnloadedWindows();
            const QString title = Control<TextBox>(main, "Text1")->Text();
            const QStringList lines = Control<ListBox>(main, "List1")->Items();
            const double previewMs = TimedMs([&] {
                Drawn(LoadWindow(new PrintPreview(ProgramSide::WindowSession(), title, lines)));
            });
            FindWindow<PrintPreview>()->Unload();
            DropUnloadedWindows();
            if (run == 0)
                continue;
            show.push_back(showMs);
            stepOn.push_back(onMs);
            stepOff.push_back(offMs);
            edit.push_back(editMs);
            preview.push_back(previewMs);
        }
        out << "huge\t" << huge.name;
        for (const auto& times : {show, stepOn, stepOff, edit, preview})
            out << '\t' << Measuring::Median(times);
        out << Qt::endl;
    }
    return 0;
}

QString Report(const QString& childOutput) {
    QString text;
    QTextStream md(&text);
    md << "| Fiche | Voir (ms) | « > » vers elle (ms) | « > » depuis elle (ms) | "
          "Modifier : ouverture (ms) | Imprimer : aperçu (ms) |\n"
       << "|---|---:|---:|---:|---:|---:|\n";
    for (const QString& line : childOutput.split('\n')) {
        const QStringList fields = line.split('\t');
        if (fields.value(0) != QLatin1String("huge") || fields.size() != 7)
            continue;
        md << "| " << fields[1];
        for (int column = 2; column < 7; ++column)
            md << " | " << QString::number(fields[column].toDouble(), 'f', 1);
        md << " |\n";
    }
    return text;
}

} // namespace HugeCards
