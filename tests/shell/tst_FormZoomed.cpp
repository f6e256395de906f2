#include "TestSupport.h"

#include "platform/Controls.h"
#include "platform/Form.h"
#include "platform/Look.h"
#include "platform/Screen.h"
#include "platform/Twips.h"
#include "shell/FormZoomed.h"

#include <QLabel>

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
        line = AddControl<LineControl>("Line1", nullptr);
        line->X1 = 150;
        line->Y1 = 300;
        line->X2 = 6000;
        line->Y2 = 3000;
    }
    QMenu* menu;
    QAction* item;
    QLabel* label;
    ImageBox* picture;
    LineControl* line;
};

struct Box {
    int left, top, width, height;
};

Box TwipsOf(const QWidget* widget) {
    return {widget->x() * 15, widget->y() * 15, widget->width() * 15, widget->height() * 15};
}

} // namespace

class TestFormZoomed : public QObject {
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
        QTest::newRow("unknown height") << 10800 << 100 << 9000 << 12000 << 8.0;
    }
    void scalesToTheKnownScreens() {
        QFETCH(int, screen);
        QFETCH(int, percent);
        QFETCH(int, formHeight);
        QFETCH(int, formWidth);
        QFETCH(double, fontSize);
        ProgramFixture fixture;
        Screen::SetHeightForTests(screen);
        SampleForm form;
        FormZoomed::LoadProtocol(form);

        QCOMPARE(FormZoomed::ScalePercent, percent);
        QCOMPARE(qRound(form.Height()), formHeight);
        QCOMPARE(qRound(form.Width()), formWidth);
        // Controls grow by the one percentage both ways, to the nearest pixel.
        const Box label = TwipsOf(form.label);
        QCOMPARE(label.left / 15, TwipsToPixels(1200.0 * percent / 100));
        QCOMPARE(label.top / 15, TwipsToPixels(600.0 * percent / 100));
        QCOMPARE(label.width / 15, TwipsToPixels(2400.0 * percent / 100));
        QCOMPARE(label.height / 15, TwipsToPixels(300.0 * percent / 100));
        // Font sizes were recorded in whole points: 8.25 counts as 8.
        QCOMPARE(form.label->font().pointSizeF(), fontSize);
        // A line control is scaled by its end points.
        QCOMPARE(form.line->X2, 6000.0 * percent / 100);
        QCOMPARE(form.line->Y1, 300.0 * percent / 100);
        // A picture without a font is still moved.
        QCOMPARE(TwipsOf(form.picture).left / 15, TwipsToPixels(3000.0 * percent / 100));
        QVERIFY(form.item->isVisible());
    }

    void examplesAt600Pixels() {
        ProgramFixture fixture;
        Screen::SetHeightForTests(9000);
        SampleForm form;
        FormZoomed::LoadProtocol(form);
        const Box label = TwipsOf(form.label);
        QCOMPARE(label.top, 570);
        QCOMPARE(label.left, 1140);
        QCOMPARE(label.height, 285);
        QCOMPARE(label.width, 2280);
    }

    void aFormNotNineThousandHighIsNeverScaled() {
        ProgramFixture fixture;
        Screen::SetHeightForTests(15360);
        SampleForm form;
        form.SetHeight(6000);
        form.SetWidth(9000);
        FormZoomed::SaveLayout(form);
        FormZoomed::ApplyZoom(form);
        QCOMPARE(FormZoomed::ScalePercent, 100);
        QCOMPARE(qRound(form.Height()), 6000);
        QCOMPARE(TwipsOf(form.label).width, 2400);
    }

    void aFormWithoutControlsChangesOnlyItsSize() {
        ProgramFixture fixture;
        Screen::SetHeightForTests(11520);
        Form form("Empty");
        FormZoomed::LoadProtocol(form);
        QCOMPARE(qRound(form.Height()), 10980);
        QCOMPARE(qRound(form.Width()), 15360);
    }

    void scaledColumnWidthsRoundHalvesToEven_data() {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("narrow");
        QTest::addColumn<int>("wide");
        QTest::newRow("95") << 95 << 712 << 9756;
        QTest::newRow("100") << 100 << 750 << 10270;
        QTest::newRow("139") << 139 << 1042 << 14275;
    }
    void scaledColumnWidthsRoundHalvesToEven() {
        QFETCH(int, percent);
        QFETCH(int, narrow);
        QFETCH(int, wide);
        FormZoomed::ScalePercent = percent;
        QCOMPARE(FormZoomed::Scaled(750), narrow);
        QCOMPARE(FormZoomed::Scaled(10270), wide);
    }
};

PIVANES_TEST_MAIN(TestFormZoomed)
#include "tst_FormZoomed.moc"
