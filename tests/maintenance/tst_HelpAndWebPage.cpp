// "Lisez Moi" and "Talmir": requests to the desktop's opener, and what stands in when it fails.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "platform/Desktop.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <optional>
#include <utility>
#include <vector>

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

// A desktop with no program for web pages, or with one that notes what it was given.
class DesktopWithoutBrowser {
public:
    explicit DesktopWithoutBrowser(const ProgramFixture& fixture, bool withHandler)
        : opened_(fixture.Path(QStringLiteral("ouvert"))) {
        const QString data = fixture.Path(QStringLiteral("xdg/data"));
        const QString config = fixture.Path(QStringLiteral("xdg/config"));
        QDir().mkpath(data + QStringLiteral("/applications"));
        QDir().mkpath(config);
        if (withHandler) {
            const QString handler = fixture.Path(QStringLiteral("ouvre"));
            WriteBytes(handler, "#!/bin/sh\necho \"$1\" >> '" + opened_.toUtf8() + "'\n");
            QFile::setPermissions(handler, QFile::ReadOwner | QFile::ExeOwner);
            WriteBytes(data + QStringLiteral("/applications/ouvre.desktop"),
                       "[Desktop Entry]\nType=Application\nName=Ouvre\nExec=" + handler.toUtf8() +
                           " %u\nMimeType=text/html;x-scheme-handler/https;\n");
            WriteBytes(config + QStringLiteral("/mimeapps.list"),
                       "[Default Applications]\ntext/html=ouvre.desktop\n"
                       "x-scheme-handler/https=ouvre.desktop\n");
        }
        const QByteArray empty = QFile::encodeName(fixture.Path(QStringLiteral("xdg/none")));
        Set("XDG_DATA_HOME", QFile::encodeName(data));
        Set("XDG_CONFIG_HOME", QFile::encodeName(config));
        Set("XDG_DATA_DIRS", empty);
        Set("XDG_CONFIG_DIRS", empty);
        // A desktop session: the opener tries what it offers only where there is a display.
        Set("DISPLAY", QByteArray(":0"));
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "BROWSER",
                                 "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "WAYLAND_DISPLAY"})
            Set(name, std::nullopt);
        Fakes().opener.UseRealOpener();
    }
    ~DesktopWithoutBrowser() {
        for (const auto& [name, value] : saved_)
            if (value)
                qputenv(name.constData(), *value);
            else
                qunsetenv(name.constData());
    }
    QString Opened() const { return QString::fromUtf8(FileBytes(opened_)).trimmed(); }

private:
    void Set(const char* name, const std::optional<QByteArray>& value) {
        saved_.emplace_back(name, qEnvironmentVariableIsSet(name)
                                      ? std::optional<QByteArray>(qgetenv(name))
                                      : std::nullopt);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

    QString opened_;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

// The desktop's opener finds a program for web pages in the fallbacks it tries.
bool ABrowserIsInstalled() {
    for (const char* browser :
         {"x-www-browser", "www-browser", "firefox", "chromium", "epiphany", "konqueror",
          "google-chrome", "links2", "elinks", "links", "lynx", "w3m"})
        if (!QStandardPaths::findExecutable(QString::fromLatin1(browser)).isEmpty())
            return true;
    return false;
}

} // namespace

class TestHelpAndWebPage : public QObject {
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
        Fakes().opener.SetAnswer(openerWorks);
        MainWindow& main = OpenMainWindow();

        MenuItem(main, "Lisezmoi")->trigger();

        QCOMPARE(Fakes().opener.Requests().size(), requested.size());
        for (int index = 0; index < requested.size(); ++index) {
            const Fake::Opener::Request& request = Fakes().opener.Requests().at(index);
            QCOMPARE(request.kind, Desktop::Target::File);
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

    // The real opener, xdg-open, starts whatever the desktop offers, and says only by its exit
    // status that it found nothing: the guide then falls back to the program's own help, and
    // the web page to a message that gives its address.
    void theOpenersAnswerIsHeard_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("program");
        QTest::newRow("guide, no program for it") << "Lisezmoi" << false;
        QTest::newRow("guide, a program opens it") << "Lisezmoi" << true;
        QTest::newRow("web page, no browser") << "Talm" << false;
        QTest::newRow("web page, a browser opens it") << "Talm" << true;
    }
    void theOpenersAnswerIsHeard() {
        QFETCH(QString, command);
        QFETCH(bool, program);
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
            QSKIP("xdg-open (xdg-utils) is not installed");
        if (!program && ABrowserIsInstalled())
            QSKIP("a web browser is installed: the opener would find it");
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        const DesktopWithoutBrowser desktop(fixture, program);
        MainWindow& main = OpenMainWindow();
        MenuItem(main, command.toLatin1().constData())->trigger();
        QCOMPARE(Fakes().opener.Requests().size(), 1);
        const QString target = Fakes().opener.Requests().front().target;
        // Until the opener has ended and said how.
        QTRY_VERIFY_WITH_TIMEOUT(qApp->findChildren<QProcess*>().isEmpty(), 20000);
        if (program) {
            QCOMPARE(desktop.Opened(), target);
            QVERIFY(!HelpWindow());
            QVERIFY(ShownMessages().isEmpty());
        } else if (command == "Talm") {
            QCOMPARE(ShownMessages().size(), 1);
            QVERIFY(ShownMessages().front().contains(QStringLiteral("copiez son adresse")));
            QVERIFY(ShownMessages().front().contains(target));
        } else {
            QVERIFY(HelpWindow());
            QVERIFY(ShownMessages().isEmpty());
            CloseHelp();
        }
    }

    void eachHelpCommandMakesOneRequest() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        WriteBytes(QStringLiteral("Lisez-Moi.chm"), "ITSF");
        MainWindow& main = OpenMainWindow();
        MenuItem(main, "Lisezmoi")->trigger();
        MenuItem(main, "Lisezmoi")->trigger();
        QCOMPARE(Fakes().opener.Requests().size(), 2);
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
        Fakes().opener.SetAnswer(browserThere);
        MainWindow& main = OpenMainWindow();

        MenuItem(main, "Talm")->trigger();

        const QString address = QStringLiteral("https://pivanes.example.org/");
        QCOMPARE(Fakes().opener.Requests().size(), 1);
        QCOMPARE(Fakes().opener.Requests().front().kind, Desktop::Target::Url);
        QCOMPARE(Fakes().opener.Requests().front().target, address);
        if (browserThere) {
            QVERIFY(ShownMessages().isEmpty());
        } else {
            QCOMPARE(ShownMessages().size(), 1);
            QVERIFY(ShownMessages().front().contains(address));
        }
    }
};

PIVANES_TEST_MAIN(TestHelpAndWebPage)
#include "tst_HelpAndWebPage.moc"
