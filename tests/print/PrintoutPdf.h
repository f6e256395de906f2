#pragma once

#include "store/Card.h"

#include <QList>
#include <QString>
#include <QStringList>

class PrintPreview;
class MainWindow;

// Runs a command-line tool and gives its output; a tool that fails ends the test run.
QString Tool(const QString& program, const QStringList& arguments);

int PageCount(const QString& pdf);
QStringList PagesText(const QString& pdf);

struct Word {
    QString text;
    double top; // points from the top of the page
};
// The words of each page, as pdftotext places them.
QList<QList<Word>> WordTops(const QString& pdf);

// The lines of ink on each page as drawn at 150 dots per inch: where each line starts and ends
// down the page and where its first ink is across it. Independent of how the text is encoded.
struct InkLine {
    int top;
    int bottom;
    int left;
};
QList<QList<InkLine>> InkLines(const QString& pdf);

QString LineLabel(int index);
// A card whose text lines are labelled with the index of the print line they become.
Card CardOfPrintLines(int printLines);

MainWindow& MainWindowOn(const Card& card);
PrintPreview& OpenPrintout(MainWindow& main);

// The printout of CardOfPrintLines(140): three pages of 65, 65 and 10 lines, each opening with
// two empty lines, in Arial 10 points.
void CheckPrintoutOf140Lines(const QString& pdf);
