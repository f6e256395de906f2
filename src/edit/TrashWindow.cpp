#include "edit/TrashWindow.h"

#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "platform/NumberText.h"
#include "shell/Session.h"
#include "shell/WriteAccess.h"
#include "store/StoreError.h"

namespace {

constexpr int kColumnWidths[] = {1200, 7455, 2400};
constexpr int kButtonWidth = 2415;
constexpr int kButtonHeight = 375;
constexpr int kButtonTop = 7560;

QPushButton* PlaceButton(QPushButton* button, int left) {
    button->setFont(Face("Arial", 9.75, true));
    // Enter on the button that has the focus presses it, as a click does.
    button->setAutoDefault(true);
    Place(button, left, kButtonTop, kButtonWidth, kButtonHeight);
    return button;
}

QString CardsInTrash(qsizetype cards) {
    if (cards == 0)
        return QStringLiteral("La corbeille est vide.");
    return cards == 1 ? QStringLiteral("1 fiche dans la corbeille")
                      : QStringLiteral("%1 fiches dans la corbeille").arg(cards);
}

} // namespace

TrashWindow::TrashWindow(Session& session) : Window("Corbeille", session) {
    setWindowTitle(QStringLiteral("Corbeille"));
    SetBackground(Client(), Colors::LightBlue);

    Label1 = AddControl<QLabel>("Label1", nullptr, QStringLiteral("Corbeille"));
    Label1->setFont(Face("Comic Sans MS", 20.25, true));
    Label1->setAlignment(Qt::AlignCenter);
    SetColors(Label1, Colors::Yellow, Colors::LightBlue);
    Place(Label1, 3000, 120, 6000, 615);

    Label2 = AddControl<QLabel>("Label2", nullptr, QString());
    Label2->setFont(Face("Comic Sans MS", 12, true));
    Label2->setAlignment(Qt::AlignCenter);
    SetColors(Label2, Colors::Red, Colors::Navy);
    Place(Label2, 1200, 840, 9600, 465);

    cards_ =
        new CardTableModel({{QStringLiteral("NUMERO"), Qt::AlignCenter},
                            {QStringLiteral("TITRE DE FICHE"), Qt::AlignLeft | Qt::AlignVCenter},
                            {QStringLiteral("SUPPRIMEE LE"), Qt::AlignCenter}},
                           this);
    MSFlexGrid1 = AddControl<CardGrid>("MSFlexGrid1", nullptr);
    MSFlexGrid1->setFont(Face("Courier New", 8.25, true));
    MSFlexGrid1->setModel(cards_);
    // Tab leaves the grid for the buttons, as it leaves every control of the other windows.
    MSFlexGrid1->setTabKeyNavigation(false);
    Place(MSFlexGrid1, 263, 1440, 11355, 5880);

    Remettre =
        PlaceButton(AddControl<QPushButton>("Remettre", nullptr, QStringLiteral("Remettre")), 263);
    Vider = PlaceButton(
        AddControl<QPushButton>("Vider", nullptr, QStringLiteral("Vider la corbeille")), 4793);
    Quitter =
        PlaceButton(AddControl<QPushButton>("Quitter", nullptr, QStringLiteral("Quitter")), 9203);

    OnClick(Remettre, &TrashWindow::putBack);
    OnClick(Vider, &TrashWindow::emptyTrash);
    OnClick(Quitter, &TrashWindow::leave);
    OnEscape(Quitter);
    connect(MSFlexGrid1, &CardGrid::rowChosen, this, Guarded(&TrashWindow::rowChosen));
}

void TrashWindow::Form_Load() {
    scaleToScreen();
    show();
    ShowTrash();
}

void TrashWindow::scaleChanged() {
    std::vector<int> widths;
    for (const int width : kColumnWidths)
        widths.push_back(scaledPixels(width));
    MSFlexGrid1->setColumnWidths(widths);
}

void TrashWindow::ShowTrash() {
    const std::vector<TrashEntry> trash = session().collection().Trash();
    scaleChanged();
    std::vector<CardTableModel::Row> rows;
    rows.reserve(trash.size());
    for (const TrashEntry& entry : trash)
        rows.push_back(
            {entry.numero,
             {QString::number(entry.numero), entry.titre.value_or(QString()).trimmed(),
              entry.deleted.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"))}});
    cards_->setRows(std::move(rows));
    Label2->setText(CardsInTrash(qsizetype(trash.size())));
    const WriteAccess access = WriteAccess::Of(session());
    access.Show(Remettre, !trash.empty());
    access.Show(Vider, !trash.empty());
    (trash.empty() ? static_cast<QWidget*>(Quitter) : MSFlexGrid1)->setFocus();
}

qint64 TrashWindow::ChosenCard() const {
    return cards_->cardAt(MSFlexGrid1->currentIndex().row()).value_or(0);
}

// A click or Enter on a card's row chooses it: the next Enter puts it back.
void TrashWindow::rowChosen(int row) {
    if (cards_->cardAt(row))
        Remettre->setFocus();
}

void TrashWindow::putBack() {
    const qint64 numero = ChosenCard();
    if (numero == 0) {
        MessageBox::Show(QStringLiteral("Choisissez d'abord dans la liste la fiche à remettre."));
        return;
    }
    try {
        session().collection().PutBack(numero);
    } catch (const StoreError& error) {
        MessageBox::Error(error.text());
    }
    ShowTrash();
}

void TrashWindow::emptyTrash() {
    const int cards = cards_->cardCount();
    const QString question =
        cards == 1 ? QStringLiteral("Vider la corbeille ? La fiche qu'elle contient sera supprimée "
                                    "pour de bon : elle ne pourra plus être remise.")
                   : QStringLiteral("Vider la corbeille ? Les %1 fiches qu'elle contient seront "
                                    "supprimées pour de bon : elles ne pourront plus être remises.")
                         .arg(cards);
    if (MessageBox::AskYesNo(question) != MessageBox::Answer::Yes)
        return;
    try {
        session().collection().EmptyTrash();
    } catch (const StoreError& error) {
        MessageBox::Error(error.text());
    }
    ShowTrash();
}

void TrashWindow::leave() {
    Leave();
}

void TrashWindow::WindowClosed() {
    leave();
}
