#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class MainWindow;
class PagedCardGrid;
class QTableView;

// The main window, loaded as at start, with the selection of one of its category items
// ("Windows", "General"...) on display.
MainWindow& MainWindowShowing(const char* categoryItem);

// Column 0 of every card row, top to bottom (the empty row below them is left out).
QList<qint32> ShownNumbers(const QTableView& grid);
// A cell as the user reads it: row 0 is the header row, the cards start at row 1.
QString ShownText(const QTableView& grid, int row, int col);
QString ShownTitle(const QTableView& grid, int row);
Qt::Alignment ShownAlignment(const QTableView& grid, int row, int col);
// The rows under the header: the cards and the empty row below them.
int ShownRows(const QTableView& grid);
// Clicks a row the way the user does: the row is scrolled into view first.
void ClickRow(QTableView& grid, int row);

// What the page-state file holds: "missing", or its text.
QString PageStateFileText();
void WritePageStateFile(const QByteArray& contents);

// The menus a grid screen offers: "Menu(Suite,Retour) Quitter", with hidden entries left out.
QString OfferedMenus(const PagedCardGrid& screen);
