#include "ProgramSide.h"
#include "WindowControls.h"

#include "browse/CardList.h"
#include "browse/PageStateFile.h"
#include "browse/SearchWindow.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "maintenance/Compaction.h"
#include "platform/Forms.h"
#include "shell/Session.h"
#include "store/CardStore.h"
#include "store/Fields.h"
#include "store/Queries.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <stdexcept>

namespace {

void DropUnloadedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void OpenCounted(const QString& code) {
    Recordset& cards =
        Store().OpenRecordset(code.isEmpty() ? Queries::AllCards() : Queries::Category(code));
    cards.MoveLast();
    ProgramSide::WindowSession().cardCount = cards.RecordCount();
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

void PressEnter(QWidget& box) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(&box, &press);
}

} // namespace

namespace ProgramSide {

Session& WindowSession() {
    static Session session;
    return session;
}

qint32 ListedCards() {
    return OpenGrid().pageState().total;
}

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
    Forms::Load<CardList>(WindowSession());
}

void FillList() {
    Forms::Find<CardList>()->Form_Load();
}

void NextPage() {
    Control<QAction>(OpenGrid(), "ListeSuite")->trigger();
}

void PreviousPage() {
    Control<QAction>(OpenGrid(), "Retour")->trigger();
}

void PlacePaging(qint32 mark) {
    PageStateFile::Write({ListedCards(), mark});
    Control<QAction>(OpenGrid(), "ListeSuite")->trigger();
}

void OpenPicker() {
    Forms::Load<CardPicker>(WindowSession());
}

void ChooseInPicker(const QString& code) {
    Forms::Find<CardPicker>()->listCategory(code, code);
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
    Forms::Load<SearchWindow>(WindowSession());
}

qint64 Search(const QString& keyword) {
    SearchWindow& search = *Forms::Find<SearchWindow>();
    Control<TextBox>(search, "Text1")->SetText(keyword);
    PressEnter(*Control<TextBox>(search, "Text1"));
    return ListedCards();
}

void CloseSearch() {
    Forms::Unload<SearchWindow>();
    DropUnloadedWindows();
}

void WriteNewCard() {
    NewCardForm& form = Forms::Load<NewCardForm>(WindowSession());
    Control<TextBox>(form, "Text1")->SetText(QStringLiteral("MESURE D'UNE NOUVELLE FICHE"));
    Control<TextBox>(form, "Text2")->SetText(QStringLiteral("Texte de mesure\r\nsur deux lignes"));
    WindowSession().categoryCode = QStringLiteral("WIN");
    if (!form.storeCard())
        throw std::runtime_error("new card not written");
}

void OpenEditor(qint32 numero, const QString& text) {
    WindowSession().currentCard = numero;
    WindowSession().categoryCode = QStringLiteral("WIN");
    Control<TextBox>(Forms::Load<CardEditor>(WindowSession(), [] {}), "Text2")->SetText(text);
}

void SaveEditedCard() {
    Control<QPushButton>(Forms::Find<CardEditor>(), "Command1")->click();
}

void CloseEditor() {
    Forms::Unload<CardEditor>();
    DropUnloadedWindows();
}

void Compact() {
    if (!Store().Server().isEmpty()) {
        Store().collection().Compact();
        return;
    }
    Store().CloseDatabase();
    CompactDatabaseFile(WindowSession().databaseFile);
    Store().OpenDatabase(WindowSession().databaseFile);
}

void Backup(const QString& target) {
    Store().collection().SnapshotInto(target);
}

} // namespace ProgramSide
