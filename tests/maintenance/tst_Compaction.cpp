// "Compression de Base": the database is rewritten compacted under its own name.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "shell/KorPivane.h"
#include "store/CardStore.h"
#include "store/Connection.h"
#include "store/Queries.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>

namespace {

const QString kDone = QStringLiteral("Compactage de la Base de Données et Terminée");

void DeleteEveryThirdCard() {
    Connection& connection = Store().database().connection();
    connection.Exec("DELETE FROM TrucPivane WHERE Numero % 3 = 0");
}

} // namespace

class tst_Compaction : public QObject {
    Q_OBJECT

private slots:
    void compactionKeepsEveryCardAndNumber_data() {
        QTest::addColumn<QString>("before");
        QTest::newRow("plain") << "";
        QTest::newRow("cards deleted, numbers with gaps") << "deleted";
        QTest::newRow("stale temp.MDB of an earlier run") << "stale";
        QTest::newRow("database already closed") << "closed";
    }
    void compactionKeepsEveryCardAndNumber() {
        QFETCH(QString, before);
        ProgramFixture fixture;
        WriteSyntheticCollection(300);
        KorPivane& main = OpenMainWindow();
        if (before == "deleted")
            DeleteEveryThirdCard();
        if (before == "stale")
            WriteBytes(QStringLiteral("temp.MDB"), "left by a crash");
        if (before == "closed")
            Store().CloseDatabase();
        const QStringList cards = CardRows();
        const qint64 sizeBefore = QFileInfo(QStringLiteral("Pivane.mdb")).size();

        MenuItem(main, "Compacte")->trigger();

        QCOMPARE(ShownMessages(), QStringList({kDone}));
        QCOMPARE(CardRows(), cards);
        QVERIFY(!QFileInfo::exists(QStringLiteral("temp.MDB")));
        QVERIFY(Store().database().IsOpen());
        if (before == "deleted")
            QVERIFY(QFileInfo(QStringLiteral("Pivane.mdb")).size() < sizeBefore);
    }

    void failedCompactionLeavesTheDatabaseAsItWas_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("temp.MDB cannot be removed") << "stuck temp";
        QTest::newRow("damaged database") << "damaged";
    }
    void failedCompactionLeavesTheDatabaseAsItWas() {
        QFETCH(QString, fault);
        ProgramFixture fixture;
        WriteSyntheticCollection(300);
        KorPivane& main = OpenMainWindow();
        if (fault == "stuck temp") {
            // A folder full of files: no plain delete takes it away.
            QVERIFY(QDir().mkpath(QStringLiteral("temp.MDB/inside")));
        } else {
            QByteArray bytes = FileBytes(QStringLiteral("Pivane.mdb"));
            for (qsizetype i = 8192; i < bytes.size() - 512; i += 5)
                bytes[i] = char(0x33);
            WriteBytes(QStringLiteral("Pivane.mdb"), bytes);
        }
        const QByteArray original = FileBytes(QStringLiteral("Pivane.mdb"));

        MenuItem(main, "Compacte")->trigger();

        QVERIFY(!ShownMessages().isEmpty());
        QVERIFY(!ShownMessages().contains(kDone));
        QVERIFY2(ShownMessages().front().contains(QStringLiteral("compactage")),
                 qPrintable(ShownMessages().front()));
        QCOMPARE(FileBytes(QStringLiteral("Pivane.mdb")), original);
        QCOMPARE(QFileInfo(QStringLiteral("temp.MDB")).isDir(), fault == "stuck temp");
        if (fault == "stuck temp")
            QVERIFY(Store().database().IsOpen());
    }

    // The record set of the chosen category went with the old connection.
    void recordSetCommandsAfterCompactionDoNoHarm() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        KorPivane& main = OpenMainWindow();
        MenuItem(main, "General")->trigger();
        const QString title = main.Text1->Text();
        MenuItem(main, "Compacte")->trigger();
        MessageBox::Testing::Clear();

        for (QPushButton* arrow : {main.Command1, main.Command2, main.Command3, main.Command4})
            QTest::mouseClick(arrow, Qt::LeftButton);
        MenuItem(main, "ListeFiche")->trigger();
        MenuItem(main, "Imprime")->trigger();

        QVERIFY(Forms::Find<KorPivane>());
        QCOMPARE(main.Text1->Text(), title);
        try {
            Store().Current().Fields(QStringLiteral("Titre"));
            QFAIL("the old record set still answers");
        } catch (const StoreError& error) {
            QCOMPARE(error.kind(), StoreError::Kind::Closed);
        }
        QCOMPARE(CardRows().size(), 3);
    }
};

PIVANES_TEST_MAIN(tst_Compaction)
#include "tst_Compaction.moc"
