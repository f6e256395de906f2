// A screen of 3840 x 2160 device pixels that Qt scales by two: the program sees 1080 logical
// pixels and scales its windows for them, once.
#include "TestSupport.h"
#include "platform/Application.h"
#include "platform/Screen.h"
#include "shell/MainWindow.h"

#include <QDir>
#include <QScreen>

class TestHighDpi : public QObject {
    Q_OBJECT

private slots:
    void qtScalingIsAppliedOnce() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->devicePixelRatio(), 2.0);
        QCOMPARE(Screen::HeightTwips(), 1080 * 15);

        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        MainWindow& main = LoadMainWindow();
        QCOMPARE(main.size(), QSize(1440, 1026));
        QVERIFY(screen->availableGeometry().contains(QRect(QPoint(0, 0), main.size())));
        // The fonts grow by the table's percentage only; Qt doubles every size alike.
        QCOMPARE(Control<TextBox>(main, "Text1")->font().pointSizeF(), 10 * 1.71);
    }
};

int main(int argc, char** argv) {
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screen.json"));
    WriteBytes(config, R"({"screens": [{"name": "UHD", "x": 0, "y": 0, "width": 3840,
                           "height": 2160, "logicalDpi": 96, "logicalBaseDpi": 96}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    qputenv("QT_SCALE_FACTOR", "2");
    PivanesApplication app(argc, argv);
    EnableTestSeams();
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HighDpi.moc"
