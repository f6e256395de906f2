#include "platform/Desktop.h"

#include "platform/Guard.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// xdg-open waits for the program it starts in some desktops, and that program's own exit status
// becomes its own: a failure that late comes from a program that did open, and is not told.
constexpr qint64 kAnswerMsecs = 20000;

void RunOpener(const QString& opener, const QString& target, const std::function<void()>& failed) {
    auto* run = new QProcess(QCoreApplication::instance());
    run->setStandardOutputFile(QProcess::nullDevice());
    run->setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer asked;
    asked.start();
    QObject::connect(run, &QProcess::finished, run,
                     [run, failed, asked](int exitCode, QProcess::ExitStatus status) {
                         if ((status != QProcess::NormalExit || exitCode != 0) &&
                             asked.elapsed() < kAnswerMsecs)
                             RunGuarded(failed);
                         run->deleteLater();
                     });
    QObject::connect(run, &QProcess::errorOccurred, run,
                     [run, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         RunGuarded(failed);
                         run->deleteLater();
                     });
    // Ending the program stops the opener only: what it started goes on.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, run, [run] {
        run->kill();
        run->waitForFinished();
    });
    run->start(opener, {target});
}

} // namespace

namespace Desktop {

void OpenFile(const QString& fileName, const std::function<void()>& failed) {
    const QFileInfo file(fileName);
    if (!file.isFile()) {
        failed();
        return;
    }
    Opener::Current().Open(Target::File, file.absoluteFilePath(),
                           QUrl::fromLocalFile(file.absoluteFilePath()), failed);
}

void OpenUrl(const QString& address, const std::function<void()>& failed) {
    Opener::Current().Open(Target::Url, address, QUrl(address), failed);
}

void Opener::Open(Target, const QString& target, const QUrl& url,
                  const std::function<void()>& failed) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        RunOpener(opener, target, failed);
        return;
    }
    if (!QDesktopServices::openUrl(url))
        failed();
}

} // namespace Desktop
