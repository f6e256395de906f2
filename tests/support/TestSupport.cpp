#include "TestSupport.h"

#include "platform/Application.h"
#include "platform/Form.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "shell/Session.h"
#include "store/CategoryCatalogue.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>

void PrepareTestEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void EnableTestSeams() {
    Fakes();
}

Session& TestSession() {
    static Session session;
    return session;
}

void ResetProgramState() {
    Application::CloseAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Each module's variables are one struct: a variable added to it is put back with the rest.
    TestSession() = Session{};
    Fakes().Clear();
    CategoryCatalogue::Replace({});
}

MainWindow& LoadMainWindow() {
    if (MainWindow* main = FindWindow<MainWindow>())
        return *main;
    return OpenMainWindow(TestSession());
}

QStringList OpenWindows() {
    ProcessUnloads();
    QStringList names;
    const auto windows = QApplication::topLevelWidgets();
    for (const QWidget* window : windows)
        if (qobject_cast<const Form*>(window))
            names << window->objectName();
    return names;
}

void ProcessUnloads() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void FinishTask() {
    const QDeadlineTimer deadline(std::chrono::minutes(2));
    while (TestSession().worker().Busy() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (TestSession().worker().Busy())
        qFatal("the worker's task did not end");
}

ProgramFixture::ProgramFixture() {
    ResetProgramState();
}

// The windows are unloaded while their folder is still the current one.
ProgramFixture::~ProgramFixture() {
    ResetProgramState();
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

QAction* MenuItem(const Form& form, const char* name) {
    auto* item = form.findChild<QAction*>(QString::fromLatin1(name));
    if (!item)
        qFatal("no menu item %s", name);
    return item;
}

QStringList ShownMessages() {
    QStringList texts;
    for (const auto& message : Fakes().messages.Shown())
        texts << message.text;
    return texts;
}
