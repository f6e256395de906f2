// "Lisez Moi" and "Talmir": requests to the desktop's opener, and what stands in when it fails.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "platform/Desktop.h"
#include "shell/KorPivane.h"

#include <QApplication>
#include <QDir>

namespace {

QWidget* HelpWindow() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("AidePivanes") && window->isVisible())
            return window;
    return nullptr;
}

void CloseHelp() {
    if (QWidget* help = HelpWindow())
        help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_HelpAndWebPage : public QObject {
    Q_OBJECT

private slots:
    // The user's "Lisez-Moi.chm" first, then the guide installed with the program, then the
    // program's own window.
    void helpGoesToTheOpenerOrTheProgramsOwnHelp_data() {
        QTest::addColumn<bool>("chmThere");
        QTest::addColumn<bool>("openerWorks");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<bool>("ownHelp");
        const QStringList chm{"Lisez-Moi.chm"};
        const QStringList guide{"guide"};
        QTest::newRow("own help file") << true << true << chm << false;
        QTest::newRow("no help file: the guide") << false << true << guide << false;
        QTest::newRow("no viewer at all") << true << false << chm + guide << true;
        QTest::newRow("no help file, no viewer") << false << false << guide << true;
    }
    void helpGoesToTheOpenerOrTheProgramsOwnHelp() {
        QFETCH(bool, chmThere);
        QFETCH(bool, openerWorks);
        QFETCH(QStringList, requested);
        QFETCH(bool, ownHelp);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        if (chmThere)
            WriteBytes(QStringLiteral("Lisez-Moi.chm"), "ITSF");
        Desktop::Testing::SetAnswer(openerWorks);
        KorPivane& main = OpenMainWindow();

        MenuItem(main, "Lisezmoi")->trigger();

        QCOMPARE(Desktop::Testing::Requests().size(), requested.size());
        for (int index = 0; index < requested.size(); ++index) {
            const Desktop::Testing::Request& request = Desktop::Testing::Requests().at(index);
            QCOMPARE(request.kind, Desktop::Testing::Request::Kind::File);
            if (requested[index] == "guide") {
                QVERIFY2(request.target.endsWith("/share/pivanes/Lisez-Moi.html"),
                         qPrintable(request.target));
                QVERIFY(FileBytes(request.target).contains("<title>Pivanes : guide"));
            } else {
                QCOMPARE(request.target, QDir::current().absoluteFilePath(requested[index]));
            }
        }
        QWidget* help = HelpWindow();
        QCOMPARE(help != nullptr, ownHelp);
        if (help)
            QVERIFY(help->findChild<QWidget*>() != nullptr);
        QVERIFY(ShownMessages().isEmpty());
        CloseHelp();
    }

    void eachHelpCommandMakesOneRequest() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        WriteBytes(QStringLiteral("Lisez-Moi.chm"), "ITSF");
        KorPivane& main = OpenMainWindow();
        MenuItem(main, "Lisezmoi")->trigger();
        MenuItem(main, "Lisezmoi")->trigger();
        QCOMPARE(Desktop::Testing::Requests().size(), 2);
    }

    void webPageIsAskedForOnce_data() {
        QTest::addColumn<bool>("browserThere");
        QTest::newRow("browser") << true;
        QTest::newRow("no browser") << false;
    }
    void webPageIsAskedForOnce() {
        QFETCH(bool, browserThere);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        Desktop::Testing::SetAnswer(browserThere);
        KorPivane& main = OpenMainWindow();

        MenuItem(main, "Talm")->trigger();

        const QString address = QStringLiteral("https://pivanes.example.org/");
        QCOMPARE(Desktop::Testing::Requests().size(), 1);
        QCOMPARE(Desktop::Testing::Requests().front().kind, Desktop::Testing::Request::Kind::Url);
        QCOMPARE(Desktop::Testing::Requests().front().target, address);
        if (browserThere) {
            QVERIFY(ShownMessages().isEmpty());
        } else {
            QCOMPARE(ShownMessages().size(), 1);
            QVERIFY(ShownMessages().front().contains(address));
        }
    }
};

PIVANES_TEST_MAIN(tst_HelpAndWebPage)
#include "tst_HelpAndWebPage.moc"
