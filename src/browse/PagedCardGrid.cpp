#include "browse/PagedCardGrid.h"

#include "browse/PageStateFile.h"
#include "platform/Blanks.h"
#include "platform/Forms.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "platform/ResumeNext.h"
#include "platform/UserError.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

#include <QDir>

using GridPaging::Page;
using GridPaging::PageState;

PagedCardGrid::PagedCardGrid(const char* className, int gridTop, Session& session)
    : Window(className, session) {
    SetBackground(Client(), Colors::LightBlue);
    MSFlexGrid1 = AddControl<FlexGrid>("MSFlexGrid1", nullptr);
    MSFlexGrid1->setFont(Face("Courier New", 8.25, true));
    MSFlexGrid1->SetCols(2);
    MSFlexGrid1->SetRows(2);
    MSFlexGrid1->SetColWidth(0, 750);
    MSFlexGrid1->SetColWidth(1, 10270);
    Place(MSFlexGrid1, 263, gridTop, 11355, 7710);

    Mem = AddMenu("Mem", QStringLiteral("Menu"));
    ListeSuite = AddMenuItem(Mem, "ListeSuite", QStringLiteral("Suite"));
    Retour = AddMenuItem(Mem, "Retour", QStringLiteral("Retour"));
    ListeFin = AddMenuCommand("ListeFin", QStringLiteral("Quitter"));

    OnTriggered(ListeSuite, &PagedCardGrid::showNextPage);
    OnTriggered(Retour, &PagedCardGrid::showPreviousPage);
    OnTriggered(ListeFin, &PagedCardGrid::leave);
    OnEscape(ListeFin);
    connect(MSFlexGrid1, &FlexGrid::Click, this, Guarded(&PagedCardGrid::openClickedRow));
}

void PagedCardGrid::FirstFill(const std::optional<SearchedFor>& searched) {
    PrepareGrid();
    slots_ = Collect(searched);
    const qint32 total = slots_.Total();
    paged_ = GridPaging::IsPaged(total);
    const qint32 firstMark = GridPaging::FirstPageMark(total);
    if (paged_) {
        SetMenuVisible(Mem, true);
        ListeSuite->setVisible(true);
        Retour->setVisible(false);
        KeepPageState({total, firstMark});
    } else {
        memory_ = {total, firstMark};
        SetMenuVisible(Mem, false);
    }
    ShowFirstPage(firstMark);
}

void PagedCardGrid::PrepareGrid() {
    MSFlexGrid1->Clear();
    MSFlexGrid1->SetVisible(false);
    MSFlexGrid1->SetCols(2);
    scaleChanged();
    MSFlexGrid1->SetRows(2);
}

void PagedCardGrid::scaleChanged() {
    MSFlexGrid1->SetColWidth(0, scaled(750));
    MSFlexGrid1->SetColWidth(1, scaled(10270));
}

// Without a count there is nothing to collect, and the collection is not asked for.
CardSlots PagedCardGrid::Collect(const std::optional<SearchedFor>& searched) {
    if (session().cardCount <= 0)
        return CardSlots();
    const CountedCards counted{session().countedSelection, session().cardCount,
                               session().countedLast};
    Collection& collection = session().countedCollection();
    return searched ? CardSlots::Search(collection, counted, *searched)
                    : CardSlots::Counted(collection, counted);
}

void PagedCardGrid::ShowFirstPage(qint32 mark) {
    WriteHeader();
    WriteRows(slots_.Read(1, mark), false);
    MSFlexGrid1->SetVisible(true);
    MSFlexGrid1->setFocus();
}

void PagedCardGrid::showNextPage() {
    const std::optional<PageState> state = CurrentPageState();
    if (!state)
        return;
    ShowPage(GridPaging::Next(*state));
}

void PagedCardGrid::showPreviousPage() {
    const std::optional<PageState> state = CurrentPageState();
    if (!state)
        return;
    ShowPage(GridPaging::Previous(*state));
}

void PagedCardGrid::ShowPage(const Page& page) {
    MSFlexGrid1->Clear();
    MSFlexGrid1->SetVisible(false);
    MSFlexGrid1->SetRows(2);
    WriteHeader();
    WriteRows(slots_.Read(page.first, page.last), true);
    ListeSuite->setVisible(page.suiteShown);
    Retour->setVisible(page.retourShown);
    MSFlexGrid1->SetVisible(true);
    MSFlexGrid1->setFocus();
    KeepPageState(page.state);
}

void PagedCardGrid::WriteHeader() {
    MSFlexGrid1->SetRow(0);
    MSFlexGrid1->SetCol(0);
    MSFlexGrid1->SetCellAlignment(FlexGrid::CenterCenter);
    MSFlexGrid1->SetText(QStringLiteral("NUMERO"));
    MSFlexGrid1->SetCol(1);
    MSFlexGrid1->SetCellAlignment(FlexGrid::CenterCenter);
    MSFlexGrid1->SetText(QStringLiteral("TITRE DE FICHE"));
    MSFlexGrid1->SetRow(1);
}

// One row per slot under the header, and the empty row kept below the last card.
void PagedCardGrid::WriteRows(const std::vector<CardRow>& rows, bool trimmed) {
    qint32 row = 0;
    for (const CardRow& card : rows) {
        MSFlexGrid1->SetRow(++row);
        MSFlexGrid1->SetCol(0);
        MSFlexGrid1->SetCellAlignment(FlexGrid::CenterCenter);
        MSFlexGrid1->SetText(QString::number(card.numero));
        MSFlexGrid1->SetCol(1);
        MSFlexGrid1->SetCellAlignment(FlexGrid::LeftCenter);
        const QString title = QString::fromUtf8(card.title);
        MSFlexGrid1->SetText(trimmed ? WithoutEndBlanks(title) : title);
        MSFlexGrid1->SetRows(MSFlexGrid1->Rows() + 1);
    }
}

// The state of this screen's own paging, from the file unless it could not be written last
// time. A file that does not fit the cards collected here (missing, emptied, left by another
// screen or changed by hand) turns the command into nothing.
std::optional<PageState> PagedCardGrid::CurrentPageState() const {
    if (!paged_)
        return std::nullopt;
    const std::optional<PageState> state = stateInFile_ ? PageStateFile::Read() : memory_;
    if (!state || state->total != memory_.total || !GridPaging::IsUsable(*state, slots_.Total()))
        return std::nullopt;
    return state;
}

void PagedCardGrid::KeepPageState(PageState state) {
    memory_ = state;
    try {
        PageStateFile::Write(state);
        stateInFile_ = true;
    } catch (const UserError& error) {
        stateInFile_ = false;
        ReportUnwritableFile(error);
    }
}

void PagedCardGrid::ReportUnwritableFile(const UserError& error) {
    if (writeFailureReported_)
        return;
    writeFailureReported_ = true;
    MessageBox::Error(WithReason(
        QStringLiteral("Le fichier « %1 » ne peut pas être écrit dans le dossier %2.\nLes pages "
                       "de la liste restent disponibles tant que cette fenêtre est ouverte.")
            .arg(QString::fromLatin1(PageStateFile::kName),
                 QDir::toNativeSeparators(QDir::currentPath())),
        error.reason()));
}

void PagedCardGrid::leave() {
    Forms::Show<MainWindow>(session());
    // The file only carried the pages of this window, which is going: a folder that cannot
    // take it any more loses nothing, and the user is not troubled with it.
    try {
        PageStateFile::Empty();
    } catch (const UserError&) {
    }
    Forms::Unload(this);
}

void PagedCardGrid::WindowClosed() {
    leave();
}

void PagedCardGrid::openClickedRow() {
    ResumeNext([this] { MSFlexGrid1->SetCol(0); });
    bool isNumber = false;
    const qint64 clicked = MSFlexGrid1->Text().toLongLong(&isNumber);
    // The empty row below the last card leaves the current card as it was.
    if (isNumber)
        session().currentCard = clicked;
    if (OpenClickedCard())
        Forms::Unload(this);
}

void PagedCardGrid::ShowCardInMainWindow() {
    ResumeNext([this] { Forms::Load<MainWindow>(session()).showChosenCard(); });
    ResumeNext([this] { Forms::Show<MainWindow>(session()); });
}
