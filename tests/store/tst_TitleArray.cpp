#include "TestSupport.h"

#include "store/TitleArray.h"

class TestTitleArray : public QObject {
    Q_OBJECT

private slots:
    // Titles that grow longer than the first ones announced must still come back whole.
    void everySlotComesBackAsStored_data() {
        QTest::addColumn<int>("filled");
        QTest::addColumn<int>("announced");
        QTest::newRow("fewer than the sample") << 10 << 10;
        QTest::newRow("as announced") << 5000 << 5000;
        QTest::newRow("fewer than announced") << 300 << 5000;
        QTest::newRow("more than announced") << 3000 << 100;
    }
    void everySlotComesBackAsStored() {
        QFETCH(int, filled);
        QFETCH(int, announced);
        TitleArray titles;
        titles.Reset(announced);
        auto title = [](int slot) {
            return QStringLiteral("TITRE N°%1 ").arg(slot) + QString(slot / 40, QChar(u'É'));
        };
        for (int slot = 1; slot <= filled; ++slot)
            QCOMPARE(titles.Append(title(slot).toUtf8()), slot);
        QCOMPARE(titles.Count(), filled);
        for (int slot = 1; slot <= filled; ++slot)
            QCOMPARE(titles.At(slot), title(slot));
        QVERIFY(titles.At(0).isNull());
        QVERIFY(titles.At(filled + 1).isNull());
        titles.Reset(3);
        QCOMPARE(titles.Count(), 0);
        QVERIFY(titles.At(1).isNull());
    }
};

PIVANES_TEST_MAIN(TestTitleArray)
#include "tst_TitleArray.moc"
