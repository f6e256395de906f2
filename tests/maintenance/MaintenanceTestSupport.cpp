#include "MaintenanceTestSupport.h"

#include "TestSupport.h"
#include "maintenance/BackupWindow.h"
#include "platform/Application.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/Collection.h"

#include <QAction>
#include <QFile>
#include <memory>
#include <sys/stat.h>

QStringList StoredRows(const QString& file) {
    QStringList rows;
    for (const Card& card : StoredCards(file))
        rows << QStringList{QString::number(card.Numero), card.Cate, card.Titre, card.Pivanes}.join(
            QLatin1Char('|'));
    return rows;
}

quint64 FileIdentity(const QString& file) {
    struct stat status;
    if (::stat(QFile::encodeName(file).constData(), &status) != 0)
        qFatal("no file %s", qPrintable(file));
    return status.st_ino;
}

void RetitleCard(qint32 numero, const QString& title) {
    Collection& collection = TestSession().collection();
    const std::optional<StoredCard> card = collection.ReadCard(numero);
    if (!card)
        qFatal("no card %d", numero);
    collection.Update(*card, {{}, title, {}});
}

void UseAdvancingClock(const QDateTime& start, int stepMsecs) {
    auto now = std::make_shared<QDateTime>(start);
    Fakes().clock.Set([now, stepMsecs] {
        *now = now->addMSecs(stepMsecs);
        return *now;
    });
}

MainWindow& OpenMainWindow() {
    return LoadMainWindow();
}

BackupWindow& OpenBackupWindow() {
    MenuItem(OpenMainWindow(), "Quitter")->trigger();
    BackupWindow* form = FindWindow<BackupWindow>();
    if (!form)
        qFatal("the backup window did not open");
    return *form;
}
