// The pause between copied files ends whatever the time of day, midnight included.
#include "TestSupport.h"
#include "maintenance/Pause.h"
#include "platform/Clock.h"

#include <stdexcept>

class TestPause : public QObject {
    Q_OBJECT

private slots:
    void pauseEndsAfterTheRoundedSecond_data() {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("earliestEnd");
        const QDate day(2026, 3, 9);
        QTest::newRow("rounded down: mark already passed")
            << QDateTime(day, QTime(10, 0, 0, 300)) << QDateTime(day, QTime(10, 0, 0, 300));
        QTest::newRow("rounded up")
            << QDateTime(day, QTime(10, 0, 0, 600)) << QDateTime(day, QTime(10, 0, 1, 50));
        QTest::newRow("last half second before midnight")
            << QDateTime(day, QTime(23, 59, 59, 700))
            << QDateTime(day.addDays(1), QTime(0, 0, 0, 50));
        QTest::newRow("just after midnight")
            << QDateTime(day, QTime(0, 0, 0, 10)) << QDateTime(day, QTime(0, 0, 0, 50));
    }
    void pauseEndsAfterTheRoundedSecond() {
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, earliestEnd);
        ProgramFixture fixture;
        auto now = std::make_shared<QDateTime>(start);
        auto readings = std::make_shared<int>(0);
        Fakes().clock.Set([now, readings] {
            // A pause that never ends fails here instead of hanging.
            if (++*readings > 1000)
                throw std::runtime_error("the pause does not end");
            QDateTime current = *now;
            *now = now->addMSecs(20);
            return current;
        });
        try {
            PauseBetweenFiles();
        } catch (const std::runtime_error& error) {
            QFAIL(error.what());
        }
        // The last reading let the pause end, and the clock moved on once after it.
        QVERIFY(now->addMSecs(-20) >= earliestEnd);
        QVERIFY(now->addMSecs(-40) < earliestEnd || *readings <= 2);
    }
};

PIVANES_TEST_MAIN(TestPause)
#include "tst_Pause.moc"
