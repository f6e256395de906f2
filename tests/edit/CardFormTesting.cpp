#include "CardFormTesting.h"
#include "TestSupport.h"

#include "shell/Session.h"
#include "store/CategoryCatalogue.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/SqliteCollection.h"

#include <QFile>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

QStringList CatalogueButtons(CategoryGroup group) {
    QStringList names;
    if (group == CategoryGroup::Top)
        names << QString::fromLatin1(CategoryCatalogue::kOfficeItem);
    for (const Category* category : CategoryCatalogue::InGroup(group))
        names << QString::fromLatin1(category->buttonName);
    return names;
}

bool Press(const QWidget& form, const char* name) {
    auto* button = form.findChild<QPushButton*>(QString::fromLatin1(name));
    if (!button || !button->isVisible())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

QStringList VisibleButtons(const QWidget& form) {
    auto buttons = form.findChildren<QPushButton*>();
    buttons.removeIf([](const QPushButton* button) { return !button->isVisible(); });
    std::sort(buttons.begin(), buttons.end(),
              [](const QPushButton* a, const QPushButton* b) { return a->y() < b->y(); });
    QStringList names;
    for (const QPushButton* button : buttons)
        names << button->objectName();
    return names;
}

void RefuseWrites(const QString& fileName) {
    QFile::setPermissions(fileName, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    TestSession().databaseFile = fileName;
    TestSession().OpenCollection();
    QFile probe(fileName);
    if (probe.open(QIODevice::ReadWrite)) {
        probe.close();
        dynamic_cast<SqliteCollection&>(TestSession().collection())
            .connection()
            .Exec("PRAGMA query_only = ON");
    }
}
