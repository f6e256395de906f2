#include "ProgramSide.h"

#include "browse/CardList.h"
#include "browse/PageStateFile.h"
#include "browse/SearchWindow.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "maintenance/Compaction.h"
#include "platform/Forms.h"
#include "store/CardStore.h"
#include "store/Donnees.h"
#include "store/Fields.h"
#include "store/Queries.h"

#include <QCoreApplication>
#include <stdexcept>

namespace {

void DropUnloadedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void OpenCounted(const QString& code) {
    Recordset& cards =
        Store().OpenRecordset(code.isEmpty() ? Queries::AllCards() : Queries::Category(code));
    cards.MoveLast();
    Donnees.CardCount = cards.RecordCount();
    cards.MoveFirst();
}

PagedCardGrid& OpenGrid() {
    if (auto* list = Forms::Find<CardList>())
        return *list;
    if (auto* search = Forms::Find<SearchWindow>())
        return *search;
    if (auto* picker = Forms::Find<CardPicker>())
        return *picker;
    throw std::runtime_error("no grid window is open");
}

} // namespace

namespace ProgramSide {

qint64 OpenAndCount(const QString& code) {
    Recordset& cards =
        Store().OpenRecordset(code.isEmpty() ? Queries::AllCards() : Queries::Category(code));
    cards.MoveLast();
    const qint64 count = cards.RecordCount();
    cards.MoveFirst();
    return count + cards.Fields(Field::Numero).toLongLong();
}

qint64 Voir(qint32 numero) {
    Recordset& cards = Store().Current();
    if (!cards.Seek(numero))
        throw std::runtime_error("card not found");
    return cards.Fields(Field::Titre).toString().size() +
           cards.Fields(Field::Pivanes).toString().size();
}

void OpenList(const QString& code) {
    OpenCounted(code);
    Forms::Load<CardList>();
}

void FillList() {
    Forms::Find<CardList>()->Form_Load();
}

void NextPage() {
    OpenGrid().ListeSuite_Click();
}

void PreviousPage() {
    OpenGrid().Retour_Click();
}

void PlacePaging(qint32 mark) {
    PageStateFile::Write({Donnees.GridTotal, mark});
    OpenGrid().ListeSuite_Click();
}

void OpenPicker() {
    Forms::Load<CardPicker>();
}

void ChooseInPicker(const QString& code) {
    Forms::Find<CardPicker>()->ChooseCategory(code, code);
}

void ClosePicker() {
    Forms::Unload<CardPicker>();
    DropUnloadedWindows();
}

void CloseList() {
    Forms::Unload<CardList>();
    DropUnloadedWindows();
}

void OpenSearch() {
    OpenCounted(QString());
    Forms::Load<SearchWindow>();
}

qint64 Search(const QString& keyword) {
    SearchWindow& search = *Forms::Find<SearchWindow>();
    search.Text1->SetText(keyword);
    int enter = 13;
    search.Text1_KeyPress(enter);
    return Donnees.GridTotal;
}

void CloseSearch() {
    Forms::Unload<SearchWindow>();
    DropUnloadedWindows();
}

void WriteNewCard() {
    NewCardForm& form = Forms::Load<NewCardForm>();
    form.Text1->SetText(QStringLiteral("MESURE D'UNE NOUVELLE FICHE"));
    form.Text2->SetText(QStringLiteral("Texte de mesure\r\nsur deux lignes"));
    Donnees.CurrentCategoryCode = QStringLiteral("WIN");
    if (!form.Ecrire())
        throw std::runtime_error("new card not written");
}

void OpenEditor(qint32 numero, const QString& text) {
    Donnees.CurrentCardNumber = numero;
    Donnees.CurrentCategoryCode = QStringLiteral("WIN");
    Forms::Load<CardEditor>().Text2->SetText(text);
}

void SaveEditedCard() {
    Forms::Find<CardEditor>()->Command1_Click();
}

void CloseEditor() {
    Forms::Unload<CardEditor>();
    DropUnloadedWindows();
}

void Compact() {
    Store().CloseDatabase();
    CompactDatabaseFile(Donnees.DatabaseFileName);
    Store().OpenDatabase(Donnees.DatabaseFileName);
}

void Backup(const QString& target) {
    Store().collection().SnapshotInto(target);
}

} // namespace ProgramSide
