#include "TestSupport.h"

#include "SyntheticCards.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/FileDialog.h"
#include "platform/Form.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/FormZoomed.h"
#include "store/CardStore.h"
#include "store/CategoryCatalogue.h"
#include "store/CollectionWriter.h"
#include "store/Database.h"
#include "store/Donnees.h"
#include "store/Queries.h"
#include "store/Recordset.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>

void PrepareTestEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void EnableTestSeams() {
    MessageBox::Testing::Enable();
    Application::Testing::Enable();
    Printer::Testing::Enable();
    FileDialog::Testing::Enable();
    Desktop::Testing::Enable();
}

void ResetProgramState() {
    Forms::UnloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Store().Reset();
    // Each module's variables are one struct: a variable added to it is put back with the rest.
    Donnees = SharedState{};
    FormZoomed::Zoom = FormZoomed::ZoomState{};
    MessageBox::Testing::Clear();
    Application::Testing::Clear();
    Printer::Testing::Clear();
    FileDialog::Testing::Clear();
    Desktop::Testing::Clear();
    Clock::SetForTests({});
    Screen::SetHeightForTests(std::nullopt);
    CategoryCatalogue::Testing::Restore();
}

void ProcessUnloads() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString BuiltProgram(const char* pathFromTestFolder) {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QString::fromLocal8Bit(pathFromTestFolder));
}

ProgramFixture::ProgramFixture() : previous_(QDir::currentPath()) {
    ResetProgramState();
    QDir::setCurrent(folder_.path());
}

ProgramFixture::~ProgramFixture() {
    ResetProgramState();
    QDir::setCurrent(previous_);
}

QString ProgramFixture::Path(const QString& name) const {
    return name.isEmpty() ? folder_.path() : folder_.filePath(name);
}

void WriteCollection(const QList<Card>& cards, const QString& file) {
    CollectionWriter writer(file);
    for (const Card& card : cards)
        writer.Add(card);
    writer.Commit();
}

void WriteSyntheticCollection(int count, const QString& file) {
    CollectionWriter writer(file);
    for (qint32 numero = 1; numero <= count; ++numero)
        writer.Add(SyntheticCard(numero));
    writer.Commit();
}

QList<Card> CardsIn(const QList<QPair<QString, int>>& countsByCode) {
    QList<Card> cards;
    for (const auto& [code, count] : countsByCode)
        for (int i = 1; i <= count; ++i) {
            const qint32 numero = qint32(cards.size()) + 1;
            cards.append({numero, code, QStringLiteral("%1 %2").arg(code).arg(numero),
                          QStringLiteral("Texte %1\r\nLigne 2\r\n").arg(numero)});
        }
    return cards;
}

void TypeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() < 0x80)
            QTest::keyClick(widget, char(character.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(character.toUpper().unicode()),
                                QString(character), Qt::NoModifier);
    }
}

QList<Card> StoredCards(const QString& file) {
    Database database;
    database.Open(file);
    auto cards = database.OpenAll();
    QList<Card> stored;
    for (cards->MoveFirst(); !cards->Eof(); cards->MoveNext())
        stored.append(
            {cards->Fields(Field::Numero).toLongLong(), cards->Fields(Field::Cate).toString(),
             cards->Fields(Field::Titre).toString(), cards->Fields(Field::Pivanes).toString()});
    return stored;
}

QByteArray FileBytes(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void WriteBytes(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
}

QAction* MenuItem(const Form& form, const char* name) {
    auto* item = form.findChild<QAction*>(QString::fromLatin1(name));
    if (!item)
        qFatal("no menu item %s", name);
    return item;
}

QString RunSqliteShell(const QString& file, const QString& sql, const QStringList& options) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), QStringList(options) << file << sql);
    if (!shell.waitForFinished(60000) || shell.exitCode() != 0)
        qFatal("sqlite3 failed: %s", shell.readAllStandardError().constData());
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
}

QStringList IndexNames(const QString& file) {
    return RunSqliteShell(file,
                          QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' "
                                         "AND sql IS NOT NULL ORDER BY name"),
                          {QStringLiteral("-readonly")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList ShownMessages() {
    QStringList texts;
    for (const auto& message : MessageBox::Testing::Shown())
        texts << message.text;
    return texts;
}
