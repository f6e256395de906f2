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
    void helpGoesToTheOpenerOrTheProgramsOwnHelp_data() {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("openerWorks");
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("ownHelp");
        QTest::newRow("file opened") << true << true << 1 << false;
        QTest::newRow("no viewer") << true << false << 1 << true;
        QTest::newRow("no file") << false << true << 0 << true;
    }
    void helpGoesToTheOpenerOrTheProgramsOwnHelp() {
        QFETCH(bool, fileThere);
        QFETCH(bool, openerWorks);
        QFETCH(int, requests);
        QFETCH(bool, ownHelp);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        if (fileThere)
            WriteBytes(QStringLiteral("Lisez-Moi.chm"), "ITSF");
        Desktop::Testing::SetAnswer(openerWorks);
        KorPivane& main = OpenMainWindow();

        MenuItem(main, "Lisezmoi")->trigger();

        QCOMPARE(Desktop::Testing::Requests().size(), requests);
        if (requests > 0) {
            QCOMPARE(Desktop::Testing::Requests().front().kind,
                     Desktop::Testing::Request::Kind::File);
            QCOMPARE(Desktop::Testing::Requests().front().target,
                     QDir::current().absoluteFilePath(QStringLiteral("Lisez-Moi.chm")));
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
