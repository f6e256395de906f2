#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

class FlexGrid;
class MainWindow;
class PagedCardGrid;

// The main window, loaded as at start, with the selection of one of its category items
// ("Windows", "General"...) on display.
MainWindow& MainWindowShowing(const char* categoryItem);

// Column 0 of every card row, top to bottom (the empty row below them is left out).
QList<qint32> ShownNumbers(const FlexGrid& grid);
QString ShownTitle(const FlexGrid& grid, int row);
// Clicks a row the way the user does: the row is scrolled into view first.
void ClickRow(FlexGrid& grid, int row);

// What the page-state file holds: "missing", or its text.
QString PageStateFileText();
void WritePageStateFile(const QByteArray& contents);

// The menus a grid screen offers: "Menu(Suite,Retour) Quitter", with hidden entries left out.
QString OfferedMenus(const PagedCardGrid& screen);
