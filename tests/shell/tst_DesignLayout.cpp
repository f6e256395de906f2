#include "../browse/GridTesting.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "browse/CardList.h"
#include "maintenance/BackupWindow.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/DesignLayout.h"
#include "platform/Form.h"
#include "platform/Look.h"
#include "platform/Screen.h"
#include "shell/Backdrop.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"

#include <QLabel>
#include <QScreen>
#include <map>

namespace {

// A window with one control of each kind that the scaling meets.
class SampleForm : public Form {
public:
    SampleForm() : Form("SampleForm") {
        menu = AddMenu("Fichier", "Menu");
        item = AddMenuItem(menu, "Retour", "Retour");
        label = AddControl<QLabel>("Label1", nullptr, "Texte");
        label->setFont(Face("Arial", 8.25));
        Place(label, 1200, 600, 2400, 300);
        picture = AddControl<ImageBox>("Image1", nullptr);
        Place(picture, 3000, 3000, 1500, 1500);
    }
    int load() { return Design()->loadForScreen(); }
    QMenu* menu;
    QAction* item;
    QLabel* label;
    ImageBox* picture;
};

int Pixels(double twips) {
    return int(std::lround(twips / 15));
}

Form& OpenWindow(const QString& window) {
    WriteCollection(CardsIn({{"WIN", 400}}));
    MainWindow& main = MainWindowShowing("Windows");
    if (window == "main")
        return main;
    if (window == "backup") {
        MenuItem(main, "Quitter")->trigger();
        BackupWindow* sauve = FindWindow<BackupWindow>();
        Control<QAction>(sauve, "Sauve")->trigger();
        return *sauve;
    }
    MenuItem(main, "ListeFiche")->trigger();
    return *FindWindow<CardList>();
}

// Every control the user can see lies whole inside the window's client area.
QStringList CutOff(const Form& form) {
    QStringList cut;
    for (QObject* control : form.Controls()) {
        const auto* widget = qobject_cast<const QWidget*>(control);
        if (widget && widget->isVisibleTo(&form) &&
            !form.Client()->rect().contains(
                QRect(widget->mapTo(form.Client(), QPoint(0, 0)), widget->size())))
            cut << widget->objectName();
    }
    return cut;
}

} // namespace

class TestDesignLayout : public QObject {
    Q_OBJECT

private slots:
    void scalesToTheKnownScreens_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("formHeight");
        QTest::addColumn<int>("formWidth");
        QTest::addColumn<double>("fontSize");
        QTest::newRow("600 pixels") << 9000 << 95 << 8550 << 12000 << 7.6;
        QTest::newRow("768 pixels") << 11520 << 122 << 10980 << 15360 << 9.76;
        QTest::newRow("864 pixels") << 12960 << 139 << 12510 << 17280 << 11.12;
        QTest::newRow("960 pixels") << 14400 << 152 << 13770 << 19200 << 12.16;
        QTest::newRow("1024 pixels") << 15360 << 163 << 14760 << 19200 << 13.04;
        // Other heights continue the table: controls at 95 % of the screen's share of 600
        // pixels, the window as wide as that share of 800.
        QTest::newRow("720 pixels") << 10800 << 114 << 10260 << 14400 << 9.12;
        QTest::newRow("1080 pixels") << 16200 << 171 << 15390 << 21600 << 13.68;
        QTest::newRow("1440 pixels") << 21600 << 228 << 20520 << 28800 << 18.24;
        QTest::newRow("2160 pixels") << 32400 << 342 << 30780 << 43200 << 27.36;
    }
    void scalesToTheKnownScreens() {
        QFETCH(int, screen);
        QFETCH(int, percent);
        QFETCH(int, formHeight);
        QFETCH(int, formWidth);
        QFETCH(double, fontSize);
        ProgramFixture fixture;
        Fakes().screen.Set(screen);
        SampleForm form;
        QCOMPARE(form.load(), percent);
        QCOMPARE(form.size(), QSize(formWidth, formHeight) / 15);
        // Controls grow by the one percentage both ways, to the nearest pixel.
        QCOMPARE(form.label->geometry(),
                 QRect(Pixels(1200.0 * percent / 100), Pixels(600.0 * percent / 100),
                       Pixels(2400.0 * percent / 100), Pixels(300.0 * percent / 100)));
        // Font sizes were recorded in whole points: 8.25 counts as 8.
        QCOMPARE(form.label->font().pointSizeF(), fontSize);
        // A picture without a font is still moved.
        QCOMPARE(form.picture->x(), Pixels(3000.0 * percent / 100));
        QVERIFY(form.item->isVisible());
    }

    void examplesAt600Pixels() {
        ProgramFixture fixture;
        Fakes().screen.Set(9000);
        SampleForm form;
        form.load();
        // 1140, 570, 2280 and 285 twips.
        QCOMPARE(form.label->geometry(), QRect(76, 38, 152, 19));
    }

    // The screen's panels take their share: the window stays inside what is left, and its
    // controls inside the window.
    void neverBeyondTheAvailableArea_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QSize>("available");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("formHeight");
        QTest::addColumn<int>("formWidth");
        QTest::newRow("1080, a tall panel") << 16200 << QSize(1920, 900) << 150 << 13500 << 21600;
        QTest::newRow("1080, a narrow area") << 16200 << QSize(1000, 1050) << 125 << 15390 << 15000;
        QTest::newRow("720, panel and frame") << 10800 << QSize(1280, 650) << 108 << 9720 << 14400;
        QTest::newRow("2160 at 4:3") << 32400 << QSize(2880, 2112) << 342 << 30780 << 43200;
    }
    void neverBeyondTheAvailableArea() {
        QFETCH(int, screen);
        QFETCH(QSize, available);
        QFETCH(int, percent);
        QFETCH(int, formHeight);
        QFETCH(int, formWidth);
        ProgramFixture fixture;
        Fakes().screen.Set(screen, available);
        SampleForm form;
        QCOMPARE(form.load(), percent);
        QCOMPARE(form.size(), QSize(formWidth, formHeight) / 15);
        QVERIFY(form.height() <= available.height() && form.width() <= available.width());
    }

    // The five rows stay as they are, whatever the screen leaves to windows.
    void tableRowsIgnoreTheAvailableArea() {
        ProgramFixture fixture;
        Fakes().screen.Set(11520, QSize(1024, 728));
        SampleForm form;
        QCOMPARE(form.load(), 122);
        QCOMPARE(form.height(), 10980 / 15);
    }

    // A window whose load runs again (the backup window does after a failure) is scaled from
    // its design, not from what the first load made of it.
    void loadingAgainScalesFromTheDesign_data() {
        QTest::addColumn<int>("screen");
        QTest::newRow("768") << 11520;
        QTest::newRow("1080") << 16200;
        QTest::newRow("2160") << 32400;
    }
    void loadingAgainScalesFromTheDesign() {
        QFETCH(int, screen);
        ProgramFixture fixture;
        Fakes().screen.Set(screen);
        SampleForm form;
        form.load();
        const QRect label = form.label->geometry();
        const QSize size = form.size();
        const double font = form.label->font().pointSizeF();
        for (int again = 0; again < 3; ++again)
            form.load();
        QCOMPARE(form.label->geometry(), label);
        QCOMPARE(form.size(), size);
        QCOMPARE(form.label->font().pointSizeF(), font);
    }

    // The backdrop's picture covers the whole window, as loaded and as the user resizes it.
    void backdropFillsItsWindow_data() {
        QTest::addColumn<int>("screen");
        QTest::newRow("768") << 11520;
        QTest::newRow("1080") << 16200;
    }
    void backdropFillsItsWindow() {
        QFETCH(int, screen);
        ProgramFixture fixture;
        Fakes().screen.Set(screen);
        WriteCollection(CardsIn({{"WIN", 1}}));
        StartProgram(TestSession());
        Backdrop& backdrop = *FindWindow<Backdrop>();
        const auto* picture = Control<ImageBox>(backdrop, "Image1");
        for (const QSize size : {QSize(), QSize(700, 500), QSize(1300, 700)}) {
            if (size.isValid())
                backdrop.resize(size);
            QCOMPARE(picture->geometry(), backdrop.rect());
        }
    }

    void aFormWithoutControlsChangesOnlyItsSize() {
        ProgramFixture fixture;
        Fakes().screen.Set(11520);
        Form form("Empty");
        form.Design()->loadForScreen();
        QCOMPARE(form.size(), QSize(15360, 10980) / 15);
    }

    // A window the user resizes is scaled again from its design by the rule of the screens, from
    // its new height, within its width and never cutting a control off; what the controls leave
    // of its width is shared on both sides. Back at the size of its load, it is as loaded.
    void resizedWindowsScaleTheirControls_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("percent");
        for (const char* window : {"main", "backup", "list"}) {
            QTest::addRow("%s, maximised", window) << window << QSize() << 100;
            QTest::addRow("%s, wide", window) << window << QSize(1600, 900) << 150;
            QTest::addRow("%s, tall", window) << window << QSize(700, 1000) << 87;
            QTest::addRow("%s, smaller", window) << window << QSize(640, 500) << 80;
        }
    }
    void resizedWindowsScaleTheirControls() {
        QFETCH(QString, window);
        QFETCH(QSize, size);
        QFETCH(int, percent);
        ProgramFixture fixture;
        // Loaded at 95 %, less than the 800 x 800 pixels of the test's screen.
        Fakes().screen.Set(9000);
        Form& form = OpenWindow(window);
        const QScreen* screen = QGuiApplication::primaryScreen();
        // Centred, with room above for the window manager's title bar.
        const QPoint offCentre =
            form.frameGeometry().center() - screen->availableGeometry().center();
        QVERIFY2(std::abs(offCentre.x()) <= 4 && std::abs(offCentre.y()) <= 20,
                 qPrintable(QStringLiteral("%1 %2").arg(offCentre.x()).arg(offCentre.y())));
        const QSize loaded = form.size();
        const QList<QRect> before = [&form] {
            QList<QRect> places;
            for (QObject* control : form.Controls())
                if (auto* widget = qobject_cast<QWidget*>(control))
                    places << widget->geometry();
            return places;
        }();

        // A window manager maximises a window by giving it the screen's available area.
        form.resize(size.isValid() ? size : screen->availableGeometry().size());
        QCOMPARE(CutOff(form), QStringList());
        const auto* label = form.findChild<QLabel*>(QStringLiteral("Label1"));
        const int spare = (form.width() - 800 * percent / 100) / 2;
        const std::map<QString, int> labelLeft = {{"main", 4553}, {"backup", 3000}, {"list", 5483}};
        const double designLeft = Pixels(labelLeft.at(window)) * 15;
        QCOMPARE(label->x(), std::max(spare, 0) + Pixels(designLeft * percent / 100));
        if (auto* list = qobject_cast<CardList*>(&form))
            QCOMPARE(Control<CardGrid>(list, "MSFlexGrid1")->columnWidth(1),
                     Pixels(std::lrint(10270.0 * percent / 100)));

        form.resize(loaded);
        int index = 0;
        for (QObject* control : form.Controls())
            if (auto* widget = qobject_cast<QWidget*>(control))
                QCOMPARE(widget->geometry(), before.at(index++));
    }
};

PIVANES_TEST_MAIN(TestDesignLayout)
#include "tst_DesignLayout.moc"
