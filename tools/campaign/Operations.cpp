#include "Operations.h"
#include "DesktopFakes.h"
#include "WindowControls.h"

#include "browse/PageStateFile.h"
#include "maintenance/BackupWindow.h"
#include "maintenance/Marker.h"
#include "platform/Application.h"
#include "platform/Guard.h"
#include "platform/UserError.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "shell/Session.h"
#include "store/CategoryCatalogue.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <stdexcept>

namespace Operations {

namespace {

const QString kDatabase = QStringLiteral("Pivane.mdb");
const QDate kToday(2026, 3, 9);

// What the child's windows share, as the shell would own it.
Session& ChildSession() {
    static Session session;
    return session;
}

QString Utf8(const std::optional<QByteArray>& bytes) {
    return bytes ? QString::fromUtf8(*bytes) : QString();
}

QStringList TakeMessages() {
    QStringList texts;
    for (const Fake::Message& message : Fakes().messages.Shown())
        texts << (message.title + QStringLiteral(" | ") + message.text);
    Fakes().messages.Clear();
    return texts;
}

// Leaves the windows as at start, so that a child can run one command after another.
void CloseWindows() {
    Application::CloseAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ChildSession() = Session{};
    Fakes().eventLoop.Clear();
}

BackupWindow& OpenBackupWindow() {
    RunGuarded([] { OpenMainWindow(ChildSession()); });
    RunGuarded([] { Control<QAction>(FindWindow<MainWindow>(), "Quitter")->trigger(); });
    BackupWindow* window = FindWindow<BackupWindow>();
    if (!window)
        qFatal("the backup window did not open: %s", qPrintable(TakeMessages().join('\n')));
    return *window;
}

void Type(BackupWindow& window, const QString& folder) {
    Control<TextBox>(window, "Text1")->SetText(folder);
}

} // namespace

std::unique_ptr<QApplication> StartWindows(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto application = std::make_unique<PivanesApplication>(argc, argv);
    Fakes();
    auto now = std::make_shared<QDateTime>(kToday, QTime(10, 0));
    Fakes().clock.Set([now] { return *now = now->addMSecs(100); });
    return application;
}

void OpenCollection() {
    ChildSession().databaseFile = kDatabase;
    ChildSession().OpenCollection();
}

qint64 AddCard(const RawCard& card) {
    return ChildSession().collection().Add({Utf8(card.cate), Utf8(card.titre), Utf8(card.pivanes)});
}

void EditCard(const RawCard& card) {
    Collection& collection = ChildSession().collection();
    const std::optional<StoredCard> shown = collection.ReadCard(card.numero);
    if (!shown || shown->cate != Utf8(card.cate))
        throw std::runtime_error("the card is not in its category");
    collection.Update(*shown, {Utf8(card.cate), Utf8(card.titre), Utf8(card.pivanes)});
}

QString CurrentErrorText() {
    try {
        throw;
    } catch (const UserError& error) {
        return error.text();
    } catch (const std::exception& error) {
        return QStringLiteral("not the program's error: ") + QString::fromLocal8Bit(error.what());
    }
}

// The program's event loop turns while the worker runs a long task; the campaign's waits here.
void AwaitTask() {
    while (ChildSession().worker().Busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

Said Compact(const std::function<void()>& prepare) {
    RunGuarded([] { OpenMainWindow(ChildSession()); });
    TakeMessages();
    prepare();
    RunGuarded([] { Control<QAction>(FindWindow<MainWindow>(), "Compacte")->trigger(); });
    AwaitTask();
    Said said;
    said.messages = TakeMessages();
    said.done =
        said.messages.size() == 1 &&
        said.messages[0].endsWith(QStringLiteral("Compactage de la Base de Données et Terminée"));
    CloseWindows();
    return said;
}

Said Backup(const QString& folder, const std::function<void()>& prepare) {
    BackupWindow& window = OpenBackupWindow();
    RunGuarded([&] { Control<QAction>(window, "Sauve")->trigger(); });
    Type(window, folder);
    TakeMessages();
    prepare();
    RunGuarded([&] { Control<QPushButton>(window, "Command1")->click(); });
    AwaitTask();
    Said said;
    said.messages = TakeMessages();
    // A backup that went through says so, and returns to the main window.
    said.done =
        said.messages.size() == 1 &&
        said.messages[0].startsWith(QStringLiteral("Sauvegarde | La sauvegarde est faite")) &&
        !FindWindow<BackupWindow>() && FindWindow<MainWindow>();
    CloseWindows();
    return said;
}

Said Restore(const QString& folder, const std::function<void()>& prepare) {
    BackupWindow& window = OpenBackupWindow();
    RunGuarded([&] { Control<QAction>(window, "Restoration")->trigger(); });
    Type(window, folder);
    TakeMessages();
    prepare();
    // The user confirms the restore when asked.
    Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
    RunGuarded([&] { Control<QPushButton>(window, "Command2")->click(); });
    AwaitTask();
    Said said;
    said.messages = TakeMessages();
    // A restore that went through says so, after the question the user answered, and ends the
    // program.
    said.done = Fakes().eventLoop.EndRequested() && !said.messages.isEmpty() &&
                said.messages.last().contains(QStringLiteral("La collection a été restaurée"));
    CloseWindows();
    return said;
}

void WritePageState(int total, int mark) {
    PageStateFile::Write({total, mark});
}

QByteArray PageStateBytes(int total, int mark) {
    return QByteArray::number(total) + "\r\n" + QByteArray::number(mark) + "\r\n";
}

QByteArray MarkerBytes(const QStringList& lines) {
    QTemporaryDir scratch;
    const QString file = scratch.filePath(Marker::kFileName);
    if (lines.size() != 3)
        qFatal("a marker has three lines");
    Marker::Write({lines[0], lines[1], lines[2]}, file);
    return FileBytes(file);
}

QString BackupDate() {
    return Marker::BackupDate(kToday);
}

std::optional<QString> OpenAtStart(const QString& file) {
    try {
        Collection::OpenLocal(file)->Count(Selection::AllCards());
    } catch (...) {
        return CurrentErrorText();
    }
    return std::nullopt;
}

Opening OpenDatabaseFile() {
    RunGuarded([] { OpenMainWindow(ChildSession()); });
    Opening opening;
    opening.refused = !ChildSession().CollectionIsOpen();
    if (!opening.refused) {
        MainWindow& window = *FindWindow<MainWindow>();
        RunGuarded([&] { Control<QAction>(window, CategoryCatalogue::kGeneralItem)->trigger(); });
        for (const char* arrow :
             {"Command2", "Command2", "Command4", "Command1", "Command3", "Command1"})
            Control<QPushButton>(window, arrow)->click();
        RunGuarded([&] {
            Control<QAction>(window, CategoryCatalogue::FindByCode(QStringLiteral("WIN"))->menuItem)
                ->trigger();
        });
    }
    opening.messages = TakeMessages();
    CloseWindows();
    return opening;
}

namespace {

// A small file's reading: refused when it gives nothing; the program's error says why.
Opening Reading(const std::function<bool()>& read) {
    Opening opening;
    try {
        opening.refused = !read();
    } catch (...) {
        opening.refused = true;
        opening.messages << CurrentErrorText();
    }
    return opening;
}

} // namespace

Opening ReadMarker() {
    return Reading([] { return Marker::Read().has_value(); });
}

Opening ReadPageState() {
    return Reading([] { return PageStateFile::Read().has_value(); });
}

} // namespace Operations
