#include "browse/PagedCardGrid.h"

#include "browse/PageStateFile.h"
#include "platform/Blanks.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "platform/UserError.h"
#include "shell/Session.h"

#include <QDir>

using GridPaging::Page;
using GridPaging::PageState;

PagedCardGrid::PagedCardGrid(const char* className, int gridTop, Session& session,
                             qint64 currentCard)
    : Window(className, session), currentCard_(currentCard) {
    SetBackground(Client(), Colors::LightBlue);
    cards_ =
        new CardTableModel({{QStringLiteral("NUMERO"), Qt::AlignCenter},
                            {QStringLiteral("TITRE DE FICHE"), Qt::AlignLeft | Qt::AlignVCenter}},
                           this);
    MSFlexGrid1 = AddControl<CardGrid>("MSFlexGrid1", nullptr);
    MSFlexGrid1->setFont(Face("Courier New", 8.25, true));
    MSFlexGrid1->setModel(cards_);
    fitColumnsToScale();
    Place(MSFlexGrid1, 263, gridTop, 11355, 7710);

    Mem = AddMenu("Mem", QStringLiteral("Menu"));
    ListeSuite = AddMenuItem(Mem, "ListeSuite", QStringLiteral("Suite"));
    Retour = AddMenuItem(Mem, "Retour", QStringLiteral("Retour"));
    ListeFin = AddMenuCommand("ListeFin", QStringLiteral("Quitter"));

    OnTriggered(ListeSuite, &PagedCardGrid::showNextPage);
    OnTriggered(Retour, &PagedCardGrid::showPreviousPage);
    OnTriggered(ListeFin, &PagedCardGrid::leave);
    OnEscape(ListeFin);
    connect(MSFlexGrid1, &CardGrid::rowChosen, this, Guarded(&PagedCardGrid::openClickedRow));
}

void PagedCardGrid::FirstFill(const std::optional<SearchedFor>& searched) {
    MSFlexGrid1->hide();
    scaleChanged();
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

void PagedCardGrid::scaleChanged() {
    fitColumnsToScale();
}

void PagedCardGrid::fitColumnsToScale() {
    MSFlexGrid1->setColumnWidths({scaledPixels(750), scaledPixels(10270)});
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
    ShowRows(slots_.Read(1, mark), false);
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
    ShowRows(slots_.Read(page.first, page.last), true);
    ListeSuite->setVisible(page.suiteShown);
    Retour->setVisible(page.retourShown);
    KeepPageState(page.state);
}

// The first page shows the titles as stored, the pages after it without blanks around them.
void PagedCardGrid::ShowRows(const std::vector<CardRow>& rows, bool trimmed) {
    std::vector<CardTableModel::Row> shown;
    shown.reserve(rows.size());
    for (const CardRow& card : rows) {
        const QString title = QString::fromUtf8(card.title);
        shown.push_back(
            {card.numero,
             {QString::number(card.numero), trimmed ? WithoutEndBlanks(title) : title}});
    }
    cards_->setRows(std::move(shown));
    MSFlexGrid1->show();
    MSFlexGrid1->setFocus();
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
    emit finished();
    // The file only carried the pages of this window, which is going: a folder that cannot
    // take it any more loses nothing, and the user is not troubled with it.
    try {
        PageStateFile::Empty();
    } catch (const UserError&) {
    }
    Unload();
}

void PagedCardGrid::WindowClosed() {
    leave();
}

void PagedCardGrid::openClickedRow(int row) {
    // The empty row below the last card leaves the current card as it was.
    currentCard_ = cards_->cardAt(row).value_or(currentCard_);
    OpenClickedCard(currentCard_);
}
