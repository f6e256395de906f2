#include "GridTesting.h"

#include "TestSupport.h"
#include "browse/PagedCardGrid.h"
#include "platform/Application.h"
#include "shell/MainWindow.h"

#include <QFile>
#include <QHeaderView>
#include <QTableView>

MainWindow& MainWindowShowing(const char* categoryItem) {
    MainWindow& main = LoadMainWindow();
    MenuItem(main, categoryItem)->trigger();
    return main;
}

QList<qint32> ShownNumbers(const QTableView& grid) {
    QList<qint32> numbers;
    for (int row = 1; row < ShownRows(grid); ++row)
        numbers << ShownText(grid, row, 0).toInt();
    return numbers;
}

QString ShownText(const QTableView& grid, int row, int col) {
    if (row == 0)
        return grid.model()->headerData(col, Qt::Horizontal).toString();
    return grid.model()->index(row - 1, col).data().toString();
}

QString ShownTitle(const QTableView& grid, int row) {
    return ShownText(grid, row, 1);
}

Qt::Alignment ShownAlignment(const QTableView& grid, int row, int col) {
    const QVariant alignment =
        row == 0 ? grid.model()->headerData(col, Qt::Horizontal, Qt::TextAlignmentRole)
                 : grid.model()->index(row - 1, col).data(Qt::TextAlignmentRole);
    return alignment.value<Qt::Alignment>();
}

int ShownRows(const QTableView& grid) {
    return grid.model()->rowCount();
}

void ClickRow(QTableView& grid, int row) {
    const QModelIndex cell = grid.model()->index(row - 1, 1);
    grid.scrollTo(cell);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
}

QString PageStateFileText() {
    QFile file(QStringLiteral("Liste"));
    if (!file.exists())
        return QStringLiteral("missing");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unreadable");
    return QString::fromLatin1(file.readAll());
}

void WritePageStateFile(const QByteArray& contents) {
    QFile file(QStringLiteral("Liste"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

QString OfferedMenus(const PagedCardGrid& screen) {
    QString menus;
    if (IsMenuVisible(Control<QMenu>(screen, "Mem"))) {
        QStringList items;
        for (const QAction* item :
             {Control<QAction>(screen, "ListeSuite"), Control<QAction>(screen, "Retour")})
            if (item->isVisible())
                items << item->text();
        menus = QStringLiteral("Menu(%1) ").arg(items.join(QLatin1Char(',')));
    }
    return menus + (Control<QAction>(screen, "ListeFin")->isVisible()
                        ? Control<QAction>(screen, "ListeFin")->text()
                        : QString());
}
