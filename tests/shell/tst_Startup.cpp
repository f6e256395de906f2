#include "TestSupport.h"

#include "shell/Backdrop.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "shell/Session.h"
#include "shell/Splash.h"

#include <map>

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void splashFillsTheBarThenHandsOver() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        auto* splash = qobject_cast<Splash*>(StartProgram(TestSession()));
        QVERIFY(splash && splash->isVisible());
        QVERIFY(FindWindow<Backdrop>()->isVisible());
        Control<QTimer>(splash, "Timer1")->stop(); // the test gives the ticks itself
        QCOMPARE(Control<QLabel>(splash, "lblVersion")->text(), QStringLiteral("Version 5.0.2"));
        QVERIFY(!Control<QLabel>(splash, "lblCopyright")->text().isEmpty());
        QVERIFY(!Control<QLabel>(splash, "lblCopyright2")->text().isEmpty());
        QCOMPARE(Control<QProgressBar>(splash, "ProgressBar1")->value(), 0);

        int highest = 0;
        for (int tick = 1; tick <= 100; ++tick) {
            splash->tick();
            highest = std::max(highest, Control<QProgressBar>(splash, "ProgressBar1")->value());
            QCOMPARE(Control<QProgressBar>(splash, "ProgressBar1")->value(), tick);
            QVERIFY2(!FindWindow<MainWindow>(), "main window before the 101st tick");
        }
        QCOMPARE(highest, 100);
        splash->tick();
        QCOMPARE(Control<QProgressBar>(splash, "ProgressBar1")->value(), 100);
        QVERIFY(!Control<QTimer>(splash, "Timer1")->isActive());
        MainWindow* main = FindWindow<MainWindow>();
        QVERIFY(main && main->isVisible());
        QVERIFY(TestSession().CollectionIsOpen());
        QVERIFY(!FindWindow<Splash>());
        QVERIFY(!FindWindow<Backdrop>());
    }

    // The wait is for whoever does nothing: a click on the splash, or one of these keys on
    // either start-up window, goes straight to the main window; other keys do not.
    void theSplashCanBeSkipped_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("skips");
        QTest::newRow("click on the splash's text") << "click" << true;
        QTest::newRow("Enter") << "Enter" << true;
        QTest::newRow("Escape") << "Escape" << true;
        QTest::newRow("Space") << "Space" << true;
        QTest::newRow("Enter on the backdrop") << "backdrop" << true;
        QTest::newRow("another key") << "A" << false;
    }
    void theSplashCanBeSkipped() {
        QFETCH(QString, how);
        QFETCH(bool, skips);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        auto* splash = qobject_cast<Splash*>(StartProgram(TestSession()));
        splash->tick();
        const std::map<QString, Qt::Key> keys = {{"Enter", Qt::Key_Return},
                                                 {"Escape", Qt::Key_Escape},
                                                 {"Space", Qt::Key_Space},
                                                 {"backdrop", Qt::Key_Enter},
                                                 {"A", Qt::Key_A}};
        if (how == "click")
            QTest::mouseClick(Control<QLabel>(splash, "lblVersion"), Qt::LeftButton);
        else if (how == "backdrop")
            QTest::keyClick(FindWindow<Backdrop>(), keys.at(how));
        else
            QTest::keyClick(splash, keys.at(how));
        ProcessUnloads();
        MainWindow* main = FindWindow<MainWindow>();
        QCOMPARE(main != nullptr && main->isVisible(), skips);
        QCOMPARE(FindWindow<Splash>() == nullptr, skips);
        QCOMPARE(FindWindow<Backdrop>() == nullptr, skips);
        if (skips)
            QVERIFY(TestSession().CollectionIsOpen());
        else
            QCOMPARE(Control<QProgressBar>(splash, "ProgressBar1")->value(), 1);
    }

    void aFailingStartStillEndsTheSplash() {
        ProgramFixture fixture; // no collection here, and the user declines to create one
        auto* splash = qobject_cast<Splash*>(StartProgram(TestSession()));
        Control<QTimer>(splash, "Timer1")->stop();
        for (int tick = 1; tick <= 101; ++tick)
            splash->tick();
        QVERIFY(!FindWindow<Splash>());
        QVERIFY(!FindWindow<Backdrop>());
        MainWindow* main = FindWindow<MainWindow>();
        QVERIFY(main && main->isVisible());
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY(ShownMessages().first().contains("Pivane.mdb"));
        QVERIFY(!QFile::exists("Pivane.mdb"));
    }

    void theBackdropFillsItsWindow() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        Control<QTimer>(StartProgram(TestSession()), "Timer1")->stop();
        Backdrop& backdrop = *FindWindow<Backdrop>();
        QCOMPARE(Control<ImageBox>(backdrop, "Image1")->geometry(),
                 QRect(0, 0, backdrop.width(), backdrop.height()));
        QVERIFY(!Control<ImageBox>(backdrop, "Image1")->pixmap().isNull());
    }
};

PIVANES_TEST_MAIN(TestStartup)
#include "tst_Startup.moc"
