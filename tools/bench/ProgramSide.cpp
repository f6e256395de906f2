#include "ProgramSide.h"
#include "WindowControls.h"

#include "browse/CardList.h"
#include "browse/PageStateFile.h"
#include "browse/SearchWindow.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "maintenance/Compaction.h"
#include "platform/Application.h"
#include "shell/Session.h"
#include "store/CardCursor.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <optional>
#include <stdexcept>

namespace {

void DropUnloadedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Selection Chosen(const QString& code) {
    return code.isEmpty() ? Selection::AllCards() : Selection::Category(code);
}

void OpenCounted(const QString& code) {
    ProgramSide::WindowSession().CountCards(Chosen(code));
}

PagedCardGrid& OpenGrid() {
    if (auto* list = FindWindow<CardList>())
        return *list;
    if (auto* search = FindWindow<SearchWindow>())
        return *search;
    if (auto* picker = FindWindow<CardPicker>())
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
    const qint64 count = WindowSession().CountCards(Chosen(code));
    CardCursor cards(WindowSession().sharedCollection(), Chosen(code));
    cards.MoveFirst();
    return count + cards.CurrentNumero();
}

qint64 Voir(qint32 numero) {
    CardCursor cards(WindowSession().sharedCollection(), WindowSession().countedSelection);
    if (!cards.Seek(numero))
        throw std::runtime_error("card not found");
    const StoredCard& card = cards.CurrentCard();
    return card.titre.value_or(QString()).size() + card.pivanes.value_or(QString()).size();
}

void OpenList(const QString& code) {
    OpenCounted(code);
    LoadWindow(new CardList(WindowSession(), 0));
}

void FillList() {
    FindWindow<CardList>()->Form_Load();
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
    LoadWindow(new CardPicker(WindowSession(), 0));
}

void ChooseInPicker(const QString& code) {
    FindWindow<CardPicker>()->listCategory(code, code);
}

void ClosePicker() {
    FindWindow<CardPicker>()->Unload();
    DropUnloadedWindows();
}

void CloseList() {
    FindWindow<CardList>()->Unload();
    DropUnloadedWindows();
}

void OpenSearch() {
    OpenCounted(QString());
    LoadWindow(new SearchWindow(WindowSession(), 0));
}

qint64 Search(const QString& keyword) {
    SearchWindow& search = *FindWindow<SearchWindow>();
    Control<TextBox>(search, "Text1")->SetText(keyword);
    PressEnter(*Control<TextBox>(search, "Text1"));
    return ListedCards();
}

void CloseSearch() {
    FindWindow<SearchWindow>()->Unload();
    DropUnloadedWindows();
}

void WriteNewCard() {
    NewCardForm& form = LoadWindow(new NewCardForm(WindowSession()));
    Control<TextBox>(form, "Text1")->SetText(QStringLiteral("MESURE D'UNE NOUVELLE FICHE"));
    Control<TextBox>(form, "Text2")->SetText(QStringLiteral("Texte de mesure\r\nsur deux lignes"));
    if (!form.storeCard(QStringLiteral("WIN")))
        throw std::runtime_error("new card not written");
}

void OpenEditor(qint32 numero, const QString& text) {
    auto& editor = LoadWindow(new CardEditor(WindowSession(), numero, QStringLiteral("WIN")));
    Control<TextBox>(editor, "Text2")->SetText(text);
}

void SaveEditedCard() {
    Control<QPushButton>(FindWindow<CardEditor>(), "Command1")->click();
}

void CloseEditor() {
    FindWindow<CardEditor>()->Unload();
    DropUnloadedWindows();
}

// The compaction runs on the session's worker while the event loop turns, as in the program.
void Compact() {
    std::optional<CompactionReport> report;
    if (!StartCompaction(WindowSession(),
                         [&report](const CompactionReport& ended) { report = ended; }))
        throw std::runtime_error("another task is running");
    while (!report)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!report->failure.isEmpty())
        throw std::runtime_error(report->failure.toStdString());
}

void Backup(const QString& target) {
    WindowSession().collection().SnapshotInto(target);
}

} // namespace ProgramSide
