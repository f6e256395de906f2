// The test files of the Jet format are first checked by an independent reader, mdbtools.
#include "EngineTestSupport.h"
#include "JetTesting.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

QString Csv(const std::optional<QString>& text) {
    // mdbtools shows a NULL and an empty text alike.
    if (!text || text->isEmpty())
        return QString();
    QString quoted = *text;
    return QLatin1Char('"') + quoted.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString ExpectedExport(const QList<JetCard>& cards) {
    QString csv = QStringLiteral("Numero,Cate,Titre,Pivanes\n");
    for (const JetCard& card : cards)
        csv += QStringLiteral("%1,%2,%3,%4\n")
                   .arg(card.Numero)
                   .arg(Csv(card.Cate), Csv(card.Titre), Csv(card.Pivanes));
    return csv;
}

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("MDBICONV"));
    environment.remove(QStringLiteral("MDB_JET3_CHARSET"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return QStringLiteral("ÉCHEC: ") + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestJetWriter : public QObject {
    Q_OBJECT

private slots:
    void mdbtoolsReadsTheWrittenFile_data() {
        QTest::addColumn<JetWriter::Version>("version");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("compress");
        QTest::newRow("Jet 3, 12 fiches") << JetWriter::Version::Jet3 << 12 << false;
        QTest::newRow("Jet 4, 12 fiches compressées") << JetWriter::Version::Jet4 << 12 << true;
        QTest::newRow("Jet 4, 12 fiches en UCS-2") << JetWriter::Version::Jet4 << 12 << false;
        QTest::newRow("Jet 3, 3000 fiches") << JetWriter::Version::Jet3 << 3000 << false;
        QTest::newRow("Jet 4, 3000 fiches") << JetWriter::Version::Jet4 << 3000 << true;
    }

    void mdbtoolsReadsTheWrittenFile() {
        QFETCH(JetWriter::Version, version);
        QFETCH(int, count);
        QFETCH(bool, compress);
        const QString exporter = QStandardPaths::findExecutable(QStringLiteral("mdb-export"));
        const QString schema = QStandardPaths::findExecutable(QStringLiteral("mdb-schema"));
        if (exporter.isEmpty() || schema.isEmpty())
            QSKIP("mdbtools (mdb-export, mdb-schema) is not installed");
        TemporaryFolder fixture;
        const QList<JetCard> cards = SampleCards(count, version);
        JetWriter writer(version);
        writer.Compress(compress);
        for (const JetCard& card : cards)
            writer.Add(card);
        writer.Write(fixture.Path(QStringLiteral("Pivane.mdb")));

        const QString tables = Run(schema, {fixture.Path(QStringLiteral("Pivane.mdb"))});
        QVERIFY2(tables.contains(QLatin1String("CREATE TABLE [TrucPivane]")), qPrintable(tables));
        for (const char* column : {"[Numero]\t\t\tLong Integer", "[Cate]\t\t\tText (10)",
                                   "[Titre]\t\t\tText (255)", "[Pivanes]\t\t\tMemo/Hyperlink"})
            QVERIFY2(tables.contains(QLatin1String(column)), column);

        const QString exported = Run(
            exporter, {fixture.Path(QStringLiteral("Pivane.mdb")), QStringLiteral("TrucPivane")});
        const QString expected = ExpectedExport(cards);
        QCOMPARE(exported.size(), expected.size());
        QCOMPARE(exported, expected);
    }
};

PIVANES_ENGINE_TEST_MAIN(TestJetWriter)
#include "tst_JetWriter.moc"
