#include "MaintenanceTestSupport.h"

#include "TestSupport.h"
#include "maintenance/KorSauve.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "shell/KorPivane.h"
#include "store/CardStore.h"
#include "store/Database.h"
#include "store/Fields.h"
#include "store/Queries.h"
#include "store/Recordset.h"

#include <QAction>
#include <QFile>
#include <memory>
#include <sys/stat.h>

QStringList CardRows(const QString& file) {
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
    Recordset& cards = Store().OpenRecordset(Queries::AllCards());
    if (!cards.Seek(numero))
        qFatal("no card %d", numero);
    cards.Edit();
    cards.SetField(Field::Titre, title);
    cards.Update();
}

void UseAdvancingClock(const QDateTime& start, int stepMsecs) {
    auto now = std::make_shared<QDateTime>(start);
    Clock::SetForTests([now, stepMsecs] {
        *now = now->addMSecs(stepMsecs);
        return *now;
    });
}

KorPivane& OpenMainWindow() {
    return Forms::Load<KorPivane>();
}

KorSauve& OpenBackupWindow() {
    MenuItem(OpenMainWindow(), "Quitter")->trigger();
    KorSauve* form = Forms::Find<KorSauve>();
    if (!form)
        qFatal("the backup window did not open");
    return *form;
}
