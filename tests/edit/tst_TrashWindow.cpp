// Deleting from the card editor, the trash window, and the main window's export.
#include "../browse/GridTesting.h"
#include "EngineFakes.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "edit/TrashWindow.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"

#include <QProgressDialog>

namespace {

void AddScreenRows() {
    QTest::addColumn<int>("screenLines");
    QTest::newRow("offscreen 800 x 800") << 0;
    QTest::newRow("768 lines") << 768;
    QTest::newRow("1080 lines") << 1080;
}

void UseScreen(int lines) {
    if (lines > 0)
        Fakes().screen.Set(lines * 15);
}

// Each button whole inside the window's client area, and the window on the screen.
void CheckFits(const Form& window, const QList<const char*>& buttons, int screenLines) {
    for (const char* name : buttons) {
        const QRect button = Control<QPushButton>(window, name)->geometry();
        QVERIFY2(window.Client()->rect().contains(button), name);
    }
    QVERIFY(window.height() <= (screenLines > 0 ? screenLines : 800));
}

QString WindowsCount(MainWindow& main) {
    MenuItem(main, "Windows")->trigger();
    return Control<QLabel>(main, "lblLabels")->text();
}

QByteArray ReadFile(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TrashWindow& OpenTrash() {
    MainWindow& main = LoadMainWindow();
    MenuItem(main, "Corbeille")->trigger();
    ProcessUnloads();
    return *FindWindow<TrashWindow>();
}

// Shows, while it lives, whether a progress dialog of the given name came on screen.
class ProgressWatch : public QObject {
public:
    explicit ProgressWatch(const char* name) : name_(QString::fromLatin1(name)) {
        qApp->installEventFilter(this);
    }
    bool Shown() const { return shown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(watched) &&
            watched->objectName() == name_)
            shown_ = true;
        return false;
    }

private:
    QString name_;
    bool shown_ = false;
};

} // namespace

class TestTrashWindow : public QObject {
    Q_OBJECT

private slots:
    void deletedCardComesBackFromTheTrash_data() { AddScreenRows(); }
    void deletedCardComesBackFromTheTrash();
    void emptyingTheTrashAsksFirst_data() { AddScreenRows(); }
    void emptyingTheTrashAsksFirst();
    void exportWritesTheChosenFormatOrNothing_data();
    void exportWritesTheChosenFormatOrNothing();
};

void TestTrashWindow::deletedCardComesBackFromTheTrash() {
    QFETCH(int, screenLines);
    ProgramFixture fixture;
    UseScreen(screenLines);
    WriteCollection(CardsIn({{"WIN", 3}}));
    LoadMainWindow().hide();
    CardEditor& editor = LoadWindow(new CardEditor(TestSession(), 2, QStringLiteral("WIN")));
    CheckFits(editor, {"Command1", "Supprimer"}, screenLines);
    QCOMPARE(Control<QPushButton>(editor, "Supprimer")->size(),
             Control<QPushButton>(editor, "Command1")->size());

    Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
    QTest::mouseClick(Control<QPushButton>(editor, "Supprimer"), Qt::LeftButton);
    ProcessUnloads();
    QCOMPARE(ShownMessages().size(), 1);
    QVERIFY(ShownMessages().first().contains(QStringLiteral("N° 2 « WIN 2 »")));
    QVERIFY(!FindWindow<CardEditor>());
    QCOMPARE(WindowsCount(LoadMainWindow()), QStringLiteral("WINDOWS /  2 Fiches"));

    TrashWindow& trash = OpenTrash();
    CheckFits(trash, {"Remettre", "Vider", "Quitter"}, screenLines);
    auto* grid = Control<CardGrid>(trash, "MSFlexGrid1");
    QCOMPARE(ShownText(*grid, 1, 0), QStringLiteral("2"));
    QCOMPARE(ShownText(*grid, 1, 1), QStringLiteral("WIN 2"));
    QVERIFY(!ShownText(*grid, 1, 2).isEmpty());
    // Enter on the row chooses it, Enter again puts it back.
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(trash.focusWidget(), Control<QPushButton>(trash, "Remettre"));
    QTest::keyClick(trash.focusWidget(), Qt::Key_Return);
    QCOMPARE(Control<QLabel>(trash, "Label2")->text(), QStringLiteral("La corbeille est vide."));
    QVERIFY(!Control<QPushButton>(trash, "Remettre")->isEnabled());
    QVERIFY(!Control<QPushButton>(trash, "Vider")->isEnabled());

    QTest::keyClick(&trash, Qt::Key_Escape);
    ProcessUnloads();
    QVERIFY(!FindWindow<TrashWindow>());
    QCOMPARE(WindowsCount(*FindWindow<MainWindow>()), QStringLiteral("WINDOWS /  3 Fiches"));
    QCOMPARE(TestSession().collection().ReadCard(2)->titre, QStringLiteral("WIN 2"));
}

void TestTrashWindow::emptyingTheTrashAsksFirst() {
    QFETCH(int, screenLines);
    ProgramFixture fixture;
    UseScreen(screenLines);
    WriteCollection(CardsIn({{"WIN", 3}}));
    LoadMainWindow();
    TestSession().collection().MoveToTrash(1);
    TestSession().collection().MoveToTrash(3);
    TrashWindow& trash = OpenTrash();
    QCOMPARE(Control<QLabel>(trash, "Label2")->text(),
             QStringLiteral("2 fiches dans la corbeille"));

    for (const MessageBox::Answer answer : {MessageBox::Answer::No, MessageBox::Answer::Yes}) {
        Fakes().messages.SetNextAnswer(answer);
        QTest::mouseClick(Control<QPushButton>(trash, "Vider"), Qt::LeftButton);
        QCOMPARE(TestSession().collection().Trash().size(),
                 answer == MessageBox::Answer::Yes ? 0U : 2U);
    }
    QVERIFY(ShownMessages().last().contains(QStringLiteral("Les 2 fiches")));
    QCOMPARE(ShownText(*Control<CardGrid>(trash, "MSFlexGrid1"), 1, 0), QString());
    QVERIFY(!Control<QPushButton>(trash, "Vider")->isEnabled());
    QCOMPARE(TestSession().collection().Count(Selection::AllCards()).cards, 1);
}

void TestTrashWindow::exportWritesTheChosenFormatOrNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cards");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QString>("message"); // a part of it; empty: none
    QTest::addColumn<bool>("progress");
    const QString written = QStringLiteral("fiche(s), autant que la collection en compte");
    QTest::newRow("csv") << "fiches.csv" << 3 << false << "3 " + written << false;
    QTest::newRow("markdown folder") << "notes/" << 3 << false << "3 " + written << false;
    QTest::newRow("2,000 cards show progress")
        << "fiches.json" << 2000 << false << "2000 " + written << true;
    QTest::newRow("1,999 cards do not")
        << "fiches.json" << 1999 << false << "1999 " + written << false;
    QTest::newRow("existing file") << "Pivane.mdb" << 3 << false << "existe déjà" << false;
    QTest::newRow("unknown format") << "fiches.txt" << 3 << false << "ne connaît pas" << false;
    QTest::newRow("disk full") << "fiches.csv" << 3 << true << "fiches.csv" << false;
    QTest::newRow("cancelled") << "" << 3 << false << "" << false;
}

void TestTrashWindow::exportWritesTheChosenFormatOrNothing() {
    QFETCH(QString, name);
    QFETCH(int, cards);
    QFETCH(bool, diskFull);
    QFETCH(QString, message);
    QFETCH(bool, progress);
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", cards}}));
    MainWindow& main = LoadMainWindow();
    const QStringList before = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QByteArray collection = ReadFile("Pivane.mdb");
    Fakes().fileDialogs.SetNextAnswer(name.isEmpty() ? name : fixture.Path(name));
    std::optional<FailingWrites> full;
    if (diskFull)
        full.emplace(WriteStep::Write);
    ProgressWatch watch("ExportProgress");
    MenuItem(main, "Exporter")->trigger();
    FinishTask();
    full.reset();

    QCOMPARE(Fakes().fileDialogs.Asked().size(), 1);
    QCOMPARE(ShownMessages().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(ShownMessages().first().contains(message), qPrintable(ShownMessages().first()));
    QCOMPARE(watch.Shown(), progress);
    QCOMPARE(ReadFile("Pivane.mdb"), collection);
    const QStringList after = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const bool exported = message.startsWith(QString::number(cards) + " ");
    QCOMPARE(after.size(), before.size() + (exported ? 1 : 0));
}

PIVANES_TEST_MAIN(TestTrashWindow)
#include "tst_TrashWindow.moc"
