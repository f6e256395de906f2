#pragma once

#include "DesktopFakes.h"
#include "EngineTestSupport.h"
#include "WindowControls.h"
#include "platform/Guard.h"
#include "shell/Session.h"

#include <QList>
#include <QString>
#include <QtTest>

class Form;
class MainWindow;
class QAction;

// Qt runs without a display; the desktop's seams and the clock hold the test's fakes.
void PrepareTestEnvironment();
void EnableTestSeams();

#define PIVANES_TEST_MAIN(TestObject)                                                              \
    PIVANES_TEST_MAIN_IN(TestObject, PivanesApplication, PrepareTestEnvironment(),                 \
                         EnableTestSeams())

// Each test runs in a fresh temporary folder that is the current directory, with the program's
// shared state as at start; everything is put back when it ends.
class ProgramFixture {
public:
    ProgramFixture();
    ProgramFixture(const ProgramFixture&) = delete;
    ProgramFixture& operator=(const ProgramFixture&) = delete;
    ~ProgramFixture();

    QString Path(const QString& name = QString()) const { return folder_.Path(name); }

private:
    TemporaryFolder folder_;
};

// The session the shell would own: the tests hand it to the windows they open, and each test
// starts with it as at start.
Session& TestSession();
void ResetProgramState();

// The main window on the test's session, opened as the splash opens it unless it is open.
MainWindow& LoadMainWindow();

// The objectNames of the open windows, shown or not.
QStringList OpenWindows();

// Runs the unloads that windows asked for (they are deferred deletes).
void ProcessUnloads();
// Turns the event loop until the session's worker has ended its task and said so.
void FinishTask();

// Types text key by key; QTest::keyClicks knows only ASCII, and accented letters are typed too.
void TypeText(QWidget* widget, const QString& text);

QAction* MenuItem(const Form& form, const char* name);

QStringList ShownMessages();
