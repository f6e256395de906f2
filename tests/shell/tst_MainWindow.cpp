#include "TestSupport.h"

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/StoreError.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QDir>

namespace {

QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* item : menu->actions())
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return captions;
}

QStringList Names(const QMenu* menu) {
    QStringList names;
    for (const QAction* item : menu->actions())
        names << item->objectName();
    return names;
}

// What the user sees of a menu: the captions of its shown items, "-" for a line.
QStringList SeenItems(const QMenu* menu) {
    QStringList captions;
    for (const QAction* item : menu->actions())
        if (item->isVisible())
            captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return captions;
}

// What the user sees in the window: each shown label and button by its text, each shown box.
QStringList SeenControls(const MainWindow& main) {
    QStringList seen;
    for (const QWidget* control : main.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&main))
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(control))
            seen << label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(control))
            seen << button->text();
        else if (qobject_cast<const QAbstractScrollArea*>(control))
            seen << QStringLiteral("[box]");
    }
    return seen;
}

QStringList VisibleTopMenus(const MainWindow& main) {
    QStringList names;
    for (QMenu* menu : {Control<QMenu>(main, "Fichier"), Control<QMenu>(main, "Util"),
                        Control<QMenu>(main, "Catego"), Control<QMenu>(main, "Bur")})
        if (IsMenuVisible(menu))
            names << menu->objectName();
    return names;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void menusCarryTheirNamesAndCaptions_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("Fichier") << "Fichier"
                                 << "Menu"
                                 << QStringList{"Retour",    "Imprime",  "ListeFiche",
                                                "Recher",    "Lisezmoi", "Talm",
                                                "vide",      "Quitter",  "Compacte",
                                                "Corbeille", "Exporter", "CollectionPartagee",
                                                "Quit"}
                                 << QStringList{
                                        "Retour",    "Imprimer Fiche", "Liste",
                                        "Recherche", "Lisez Moi",      "Talmir",
                                        "-",         "Sauvegarde",     "Compression de Base",
                                        "Corbeille", "Exporter…",      "Collection partagée…",
                                        "Quitter"};
        QTest::newRow("Util") << "Util"
                              << "Utilitaire" << QStringList{"Ajout", "Modif"}
                              << QStringList{"Modif une fiche", "Ajouter Une Fiche"};
        QTest::newRow("Catego") << "Catego"
                                << "Categories"
                                << QStringList{"Bureautique", "Windows",  "Materiel",
                                               "Multimedia",  "Internet", "General"}
                                << QStringList{"Bureautique", "Windows",  "Materiel",
                                               "Multimedia",  "Internet", "GENERALE"};
        QTest::newRow("Bur") << "Bur"
                             << "Bureautique"
                             << QStringList{"Dive", "Acce", "Exce", "Offi", "OpenO",
                                            "Outl", "Pain", "Powe", "Wor",  "Ret"}
                             << QStringList{"Divers",     "Access",  "Excel",    "Office",
                                            "OpenOffice", "Outlook", "PainShop", "PowerPoint",
                                            "Word",       "Retour"};
    }
    void menusCarryTheirNamesAndCaptions() {
        QFETCH(QString, menu);
        QFETCH(QString, caption);
        QFETCH(QStringList, names);
        QFETCH(QStringList, captions);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        MainWindow& main = LoadMainWindow();
        const QMenu* found = main.findChild<QMenu*>(menu);
        QVERIFY(found);
        QCOMPARE(found->title(), caption);
        QCOMPARE(Names(found), names);
        QCOMPARE(Captions(found), captions);
    }

    void entryState() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        MainWindow& main = LoadMainWindow();
        QVERIFY(main.isVisible());
        QCOMPARE(VisibleTopMenus(main), (QStringList{"Fichier", "Util", "Catego"}));
        QCOMPARE(SeenItems(Control<QMenu>(main, "Fichier")),
                 (QStringList{"Recherche", "Lisez Moi", "Talmir", "-", "Sauvegarde",
                              "Compression de Base", "Corbeille", "Exporter…",
                              "Collection partagée…", "Quitter"}));
        QCOMPARE(SeenControls(main), QStringList{"NOM  PIVANE"});
        QCOMPARE(main.windowTitle(), QStringLiteral("Pivanes — collection locale"));
        QVERIFY(TestSession().CollectionIsOpen());
        QVERIFY(ShownMessages().isEmpty());
    }

    void returnReopensAndKeepsTheCategoryCaption_data() {
        QTest::addColumn<QString>("returnItem");
        QTest::addColumn<QString>("category");
        QTest::newRow("Retour after Windows") << "Retour"
                                              << "Windows";
        QTest::newRow("Retour of the office menu") << "Ret"
                                                   << "Exce";
    }
    void returnReopensAndKeepsTheCategoryCaption() {
        QFETCH(QString, returnItem);
        QFETCH(QString, category);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}, {"EXCE", 3}}));
        MainWindow& main = LoadMainWindow();
        if (category == "Exce")
            MenuItem(main, "Bureautique")->trigger();
        MenuItem(main, qPrintable(category))->trigger();
        const QString caption = Control<QLabel>(main, "lblLabels")->text();
        QVERIFY(caption.endsWith(" Fiches"));
        MenuItem(main, qPrintable(returnItem))->trigger();
        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(), caption);
        QCOMPARE(VisibleTopMenus(main), (QStringList{"Fichier", "Util", "Catego"}));
        QCOMPARE(SeenControls(main), QStringList{caption});
        QVERIFY(Control<ListBox>(main, "List1")->count() == 0);
        QVERIFY(TestSession().CollectionIsOpen());
    }

    // Back from a window that may change the cards, the main window is as the program opened it;
    // back from one that only reads them, as it was.
    void comingBackFromAnotherWindow_data() {
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("leaving");
        QTest::addColumn<bool>("entryState");
        QTest::newRow("new card") << "Modif"
                                  << "Retour" << true;
        QTest::newRow("trash") << "Corbeille"
                               << "Quitter" << true;
        QTest::newRow("backup") << "Quitter"
                                << "Quitter" << true;
        QTest::newRow("list") << "ListeFiche"
                              << "ListeFin" << false;
        QTest::newRow("printout") << "Imprime"
                                  << "Retour" << false;
    }
    void comingBackFromAnotherWindow() {
        QFETCH(QString, opening);
        QFETCH(QString, leaving);
        QFETCH(bool, entryState);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        const QStringList seen = SeenControls(main);
        MenuItem(main, qPrintable(opening))->trigger();
        QVERIFY(!main.isVisible());
        const auto* opened = main.findChild<Form*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(opened && opened->isVisible());
        if (auto* item = opened->findChild<QAction*>(leaving))
            item->trigger();
        else
            Control<QAbstractButton>(opened, qPrintable(leaving))->click();
        QCOMPARE(OpenWindows(), QStringList{"KorPivane"});
        QVERIFY(main.isVisible());
        QCOMPARE(SeenControls(main), entryState ? QStringList{"NOM  PIVANE"} : seen);
        QVERIFY(TestSession().CollectionIsOpen());
        QVERIFY(ShownMessages().isEmpty());
    }

    // The cards a grid pages over are those counted, in the collection they were counted in.
    void sessionCountsInItsOpenCollection_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("last");
        QTest::newRow("all cards") << "" << 6 << qint64(6);
        QTest::newRow("a category") << "WIN" << 4 << qint64(6);
        QTest::newRow("an empty category") << "MAT" << 0 << qint64(0);
    }
    void sessionCountsInItsOpenCollection() {
        QFETCH(QString, code);
        QFETCH(int, count);
        QFETCH(qint64, last);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}, {"EXCE", 2}, {"WIN", 1}}));
        Session& session = TestSession();
        session.OpenCollection();
        const Selection cards = code.isEmpty() ? Selection::AllCards() : Selection::Category(code);
        QCOMPARE(session.CountCards(cards), count);
        QCOMPARE(session.countedSelection, cards);
        QCOMPARE(session.countedLast, count ? std::optional<qint64>(last) : std::nullopt);
        QCOMPARE(&session.countedCollection(), &session.collection());
        // Opened again, the collection may hold other cards: the count no longer stands.
        session.OpenCollection();
        QVERIFY_THROWS_EXCEPTION(StoreError, session.countedCollection());
        session.CloseCollection();
        QVERIFY_THROWS_EXCEPTION(StoreError, session.CountCards(cards));
        QCOMPARE(session.cardCount, 0);
        QVERIFY(!session.countedLast);
    }

    void quitClosesTheDatabaseAndEnds_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Quitter") << false;
        QTest::newRow("window manager's close box") << true;
    }
    void quitClosesTheDatabaseAndEnds() {
        QFETCH(bool, closeBox);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        MainWindow& main = LoadMainWindow();
        if (closeBox)
            main.close();
        else
            MenuItem(main, "Quit")->trigger();
        QVERIFY(Fakes().eventLoop.EndRequested());
        QVERIFY(!TestSession().CollectionIsOpen());
        QVERIFY(!FindWindow<MainWindow>());
    }

    void missingCollectionIsCreatedOnlyOnYes_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void missingCollectionIsCreatedOnlyOnYes() {
        QFETCH(bool, yes);
        ProgramFixture fixture;
        Fakes().messages.SetNextAnswer(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
        MainWindow& main = LoadMainWindow();
        QVERIFY(main.isVisible());
        QCOMPARE(ShownMessages().size(), 1);
        const QString question = ShownMessages().first();
        QVERIFY(question.contains("Pivane.mdb"));
        QVERIFY(question.contains(QDir::toNativeSeparators(QDir::currentPath())));
        QCOMPARE(QFile::exists("Pivane.mdb"), yes);
        QCOMPARE(TestSession().CollectionIsOpen(), yes);
        if (yes) {
            // The new collection is usable: an empty category shows its zero count.
            MenuItem(main, "Windows")->trigger();
            QCOMPARE(Control<QLabel>(main, "lblLabels")->text(),
                     QStringLiteral("WINDOWS /  0 Fiches"));
            QCOMPARE(ShownMessages().size(), 1);
        }
    }

    void foreignFileGetsAMessageAndStaysUntouched() {
        ProgramFixture fixture;
        QFile file("Pivane.mdb");
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray jet = QByteArray(4, '\0') + "Standard Jet DB" + QByteArray(1000, '\1');
        file.write(jet);
        file.close();
        MainWindow& main = LoadMainWindow();
        QVERIFY(main.isVisible());
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY(ShownMessages().first().contains("Pivane.mdb"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), jet);
        // The category commands report the closed store instead of ending the program.
        MenuItem(main, "Windows")->trigger();
        QCOMPARE(ShownMessages().size(), 2);
    }

    // Without a collection, a command that needs one says what is wrong and what can be done,
    // and the window stays as it was: choosing again changes nothing.
    void commandsWithoutACollectionSayWhatToDo_data() {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("toDo");
        for (const char* item : {"Windows", "General", "Recher", "Modif", "Ajout"})
            QTest::addRow("missing file, %s", item) << false << item << "relancez";
        for (const char* item : {"Windows", "Recher"})
            QTest::addRow("damaged file, %s", item) << true << item << "remettez";
    }
    void commandsWithoutACollectionSayWhatToDo() {
        QFETCH(bool, fileThere);
        QFETCH(QString, item);
        QFETCH(QString, toDo);
        ProgramFixture fixture;
        if (fileThere)
            WriteBytes(QStringLiteral("Pivane.mdb"), QByteArray(2048, 'x'));
        MainWindow& main = LoadMainWindow();
        QVERIFY(!TestSession().CollectionIsOpen());
        Fakes().messages.Clear();
        for (int attempt = 1; attempt <= 2; ++attempt) {
            MenuItem(main, item.toLatin1().constData())->trigger();
            QCOMPARE(ShownMessages().size(), attempt);
            const QString message = ShownMessages().last();
            for (const QString& part :
                 {QStringLiteral("Aucune collection"), QStringLiteral("Pivane.mdb"),
                  QStringLiteral("Restaurez"), toDo})
                QVERIFY2(message.contains(part), qPrintable(message));
        }
        QCOMPARE(OpenWindows(), QStringList{"KorPivane"});
        QVERIFY(main.isVisible());
        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(), QStringLiteral("NOM  PIVANE"));
        QVERIFY(!MenuItem(main, "Retour")->isVisible());
    }
};

PIVANES_TEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
