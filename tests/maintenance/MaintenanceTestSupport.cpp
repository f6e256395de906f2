#include "MaintenanceTestSupport.h"

#include "TestSupport.h"
#include "maintenance/KorSauve.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "shell/KorPivane.h"
#include "store/CardStore.h"
#include "store/Database.h"
#include "store/Queries.h"
#include "store/Recordset.h"

#include <QAction>
#include <QFile>
#include <memory>

QStringList CardRows(const QString& file) {
    Database database;
    database.Open(file);
    std::unique_ptr<Recordset> cards = database.OpenRecordset(Queries::AllCards());
    QStringList rows;
    for (cards->MoveFirst(); !cards->Eof(); cards->MoveNext()) {
        QStringList fields;
        for (const char* name : {"Numero", "Cate", "Titre", "Pivanes"})
            fields << cards->Fields(QString::fromLatin1(name)).toString();
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

void RetitleCard(qint32 numero, const QString& title) {
    Recordset& cards = Store().OpenRecordset(Queries::AllCards());
    if (!cards.Seek(numero))
        qFatal("no card %d", numero);
    cards.Edit();
    cards.SetField(QStringLiteral("Titre"), title);
    cards.Update();
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
