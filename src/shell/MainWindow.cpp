#include "shell/MainWindow.h"

#include "convert/JetHeader.h"
#include "platform/Application.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "platform/UserError.h"
#include "shell/CollectionChoice.h"
#include "shell/OldCollection.h"
#include "shell/ServerChoice.h"
#include "shell/ServerDialogs.h"
#include "shell/Session.h"
#include "shell/WriteAccess.h"
#include "store/CardCursor.h"
#include "store/CategoryCatalogue.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QShowEvent>

namespace {
// The banner of a window just loaded, before any selection names its cards.
const QString kEntryBanner = QStringLiteral("NOM  PIVANE");
} // namespace

MainWindow::MainWindow(Session& session) : Window("KorPivane", session) {
    setWindowTitle(QStringLiteral("Pivanes"));
    SetBackground(Client(), Colors::LightBlue);
    BuildMenus();
    BuildWorkArea();
    connect(&session.worker(), &Worker::BusyChanged, this, &MainWindow::ShowBusy);
}

// While a long task runs the window paints but takes no command: the task has the collection.
void MainWindow::ShowBusy(bool busy) {
    if (busy)
        focusBeforeTask_ = focusWidget();
    menuBar()->setEnabled(!busy);
    Client()->setEnabled(!busy);
    if (!busy && focusBeforeTask_)
        focusBeforeTask_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus() {
    QMenu* Fichier = AddMenu("Fichier", QStringLiteral("Menu"));
    Retour = AddMenuItem(Fichier, "Retour", QStringLiteral("Retour"));
    Imprime = AddMenuItem(Fichier, "Imprime", QStringLiteral("Imprimer Fiche"));
    ListeFiche = AddMenuItem(Fichier, "ListeFiche", QStringLiteral("Liste"));
    QAction* Recher = AddMenuItem(Fichier, "Recher", QStringLiteral("Recherche"));
    QAction* Lisezmoi = AddMenuItem(Fichier, "Lisezmoi", QStringLiteral("Lisez Moi"));
    QAction* Talm = AddMenuItem(Fichier, "Talm", QStringLiteral("Talmir"));
    AddMenuSeparator(Fichier, "vide");
    // "Quitter" is the design's name of the item that opens the backup window.
    QAction* Quitter = AddMenuItem(Fichier, "Quitter", QStringLiteral("Sauvegarde"));
    QAction* Compacte = AddMenuItem(Fichier, "Compacte", QStringLiteral("Compression de Base"));
    QAction* Corbeille = AddMenuItem(Fichier, "Corbeille", QStringLiteral("Corbeille"));
    QAction* Exporter = AddMenuItem(Fichier, "Exporter", QStringLiteral("Exporter…"));
    QAction* Partagee =
        AddMenuItem(Fichier, "CollectionPartagee", QStringLiteral("Collection partagée…"));
    QAction* Quit = AddMenuItem(Fichier, "Quit", QStringLiteral("Quitter"));

    // The design crossed these two names with their captions: "Ajout" opens the card picker,
    // "Modif" the new-card form.
    QMenu* Util = AddMenu("Util", QStringLiteral("Utilitaire"));
    QAction* Ajout = AddMenuItem(Util, "Ajout", QStringLiteral("Modif une fiche"));
    QAction* Modif = AddMenuItem(Util, "Modif", QStringLiteral("Ajouter Une Fiche"));

    Catego = AddMenu("Catego", QStringLiteral("Categories"));
    QAction* Bureautique =
        AddMenuItem(Catego, CategoryCatalogue::kOfficeItem, QStringLiteral("Bureautique"));
    Bur = AddMenu("Bur", QStringLiteral("Bureautique"));
    for (const Category& category : CategoryCatalogue::All())
        AddCategoryItem(category.group == CategoryGroup::Top ? Catego : Bur, category);
    QAction* General = AddMenuItem(Catego, CategoryCatalogue::kGeneralItem,
                                   QString::fromLatin1(CategoryCatalogue::kGeneralCaption));
    QAction* Ret = AddMenuItem(Bur, "Ret", QStringLiteral("Retour"));

    OnTriggered(Retour, &MainWindow::returnToEntryState);
    OnTriggered(Imprime, &MainWindow::printShownCard);
    OnTriggered(ListeFiche, &MainWindow::openCardList);
    OnTriggered(Recher, &MainWindow::openSearch);
    OnTriggered(Lisezmoi, &MainWindow::openHelp);
    OnTriggered(Talm, &MainWindow::openWebPage);
    OnTriggered(Quitter, &MainWindow::openBackupWindow);
    OnTriggered(Compacte, &MainWindow::compactCollection);
    OnTriggered(Corbeille, &MainWindow::openTrashWindow);
    OnTriggered(Exporter, &MainWindow::exportCollection);
    OnTriggered(Partagee, &MainWindow::chooseCollection);
    OnTriggered(Quit, &MainWindow::quit);
    OnTriggered(Ajout, &MainWindow::openCardPicker);
    OnTriggered(Modif, &MainWindow::openNewCardForm);
    OnTriggered(Bureautique, &MainWindow::showOfficeMenu);
    OnTriggered(General, &MainWindow::showAllCards);
    OnTriggered(Ret, &MainWindow::returnToEntryState);
}

QAction* MainWindow::AddCategoryItem(QMenu* menu, const Category& category) {
    QAction* item = AddMenuItem(menu, category.menuItem, QString::fromLatin1(category.menuCaption));
    const QString code = QString::fromLatin1(category.code);
    connect(item, &QAction::triggered, this, [this, code] {
        RunGuarded([this, code] {
            if (BeforeHandler())
                showCategory(code);
        });
    });
    return item;
}

void MainWindow::BuildWorkArea() {
    const QFont courier = Face("Courier New", 9.75, true);
    lblLabels = AddControl<QLabel>("lblLabels", nullptr, kEntryBanner);
    lblLabels->setFont(Face("Comic Sans MS", 9.75, true));
    lblLabels->setAlignment(Qt::AlignCenter);
    SetColors(lblLabels, Colors::Green, Colors::Blue);
    Place(lblLabels, 4508, 60, 2865, 285);

    Text1 = AddControl<TextBox>("Text1", nullptr);
    Text1->SetMaxLength(100);
    Text1->setFont(courier);
    SetColors(Text1, Colors::Yellow, Colors::Blue);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Place(Text1, 98, 480, 11445, 360);

    Text2 = AddControl<TextBox>("Text2", nullptr);
    Text2->setFont(courier);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetColors(Text2, Colors::Yellow, Colors::Blue);
    Place(Text2, 98, 900, 11445, 7200);

    List1 = AddControl<ListBox>("List1", nullptr);
    Place(List1, 98, 900, 11445, 7200);

    const QFont arial = Face("Arial", 9.75, true);
    auto addStep = [&](QPushButton*& button, const char* name, const char* caption, int left,
                       const QColor& back) {
        button = AddControl<QPushButton>(name, nullptr, QString::fromLatin1(caption));
        button->setFont(arial);
        SetColors(button, Colors::Black, back);
        Place(button, left, 8190, 495, 360);
    };
    addStep(Command3, "Command3", "<<", 3654, Colors::LightBlue);
    addStep(Command1, "Command1", "<", 4116, Colors::Green);
    Label2 = AddControl<QLabel>("Label2", nullptr, QString());
    Label2->setFont(arial);
    Label2->setAlignment(Qt::AlignCenter);
    SetColors(Label2, Colors::Yellow, Colors::LightBlue);
    Place(Label2, 4614, 8190, 2625, 360);
    addStep(Command2, "Command2", ">", 7236, Colors::Green);
    addStep(Command4, "Command4", ">>", 7731, Colors::LightBlue);

    Label1 = AddControl<QLabel>("Label1", nullptr, QStringLiteral("PATIENTEZ JE CHERCHE"));
    Label1->setFont(arial);
    SetColors(Label1, Colors::Yellow, Colors::Blue);
    Place(Label1, 4553, 3105, 2775, 315);

    OnClick(Command1, &MainWindow::showPreviousCard);
    OnClick(Command2, &MainWindow::showNextCard);
    OnClick(Command3, &MainWindow::showFirstCard);
    OnClick(Command4, &MainWindow::showLastCard);
}

void MainWindow::Form_Load() {
    scaleToScreen();
    showEntryState();
}

void MainWindow::showEntryState() {
    selection_.reset();
    show();
    SetMenuVisible(Catego, true);
    for (QWidget* control : {static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2),
                             static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command4),
                             static_cast<QWidget*>(Label2)})
        control->hide();
    List1->clear();
    List1->hide();
    SetMenuVisible(Bur, false);
    for (QAction* item : {Retour, Imprime, ListeFiche})
        item->setVisible(false);
    Text2->hide();
    Text1->hide();
    lblLabels->show();
    Label1->hide();
    Text1->SetText(QString());
    Text2->SetText(QString());
    session().databaseFile = QStringLiteral("Pivane.mdb");
    OpenDatabase();
    ShowWriteAccess();
}

void MainWindow::ShowWriteAccess() {
    const WriteAccess access = WriteAccess::Of(session());
    setWindowTitle(access.Title(CollectionChoice::WindowTitle(session())));
    for (QObject* control : Controls()) {
        auto* command = qobject_cast<QAction*>(control);
        if (!command || !WriteAccess::Writes(command->objectName()))
            continue;
        access.Show(command);
        if (auto* menu = qobject_cast<QMenu*>(command->parent()))
            menu->setToolTipsVisible(true);
    }
}

void MainWindow::OpenDatabase() {
    // A collection of the old program is offered for conversion before anything opens it.
    if (!session().OnServer() && ReadJetHeader(session().databaseFile).IsJet() &&
        !OfferConversion(session().databaseFile, session().worker()))
        return;
    try {
        session().OpenCollection();
    } catch (const StoreError& error) {
        if (error.kind() != StoreError::Kind::MissingFile) {
            MessageBox::Error(error.text());
            return;
        }
        const QString question =
            error.text() + QStringLiteral("\n\nCréer une collection vide à cet endroit ?");
        if (MessageBox::AskYesNo(question) != MessageBox::Answer::Yes)
            return;
        Collection::CreateLocal(session().databaseFile);
        session().OpenCollection();
    }
}

bool MainWindow::CollectionIsOpen() const {
    if (session().CollectionIsOpen())
        return true;
    if (session().OnServer()) {
        MessageBox::Error(QStringLiteral("Aucune collection de fiches n'est ouverte : le serveur "
                                         "« %1 » n'a pas répondu. Choisissez « Retour » dans le "
                                         "menu pour vous y reconnecter, ou « Collection "
                                         "partagée… » pour en choisir un autre ou revenir à la "
                                         "collection locale.")
                              .arg(session().server()));
        return false;
    }
    const QString file = session().databaseFile;
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    const QString what =
        QFileInfo::exists(file)
            ? QStringLiteral("Le fichier « %1 » du dossier « %2 » n'a pas pu être ouvert.")
            : QStringLiteral("Le fichier « %1 » est introuvable dans le dossier « %2 ».");
    const QString toDo =
        QFileInfo::exists(file)
            ? QStringLiteral("Restaurez une sauvegarde (Menu, « Sauvegarde », puis "
                             "« Restoration »), ou quittez le programme et remettez un fichier "
                             "de fiches valide à sa place.")
            : QStringLiteral("Restaurez une sauvegarde (Menu, « Sauvegarde », puis "
                             "« Restoration »), ou quittez et relancez le programme : il "
                             "proposera de créer une collection vide.");
    MessageBox::Error(QStringLiteral("Aucune collection de fiches n'est ouverte. ") +
                      what.arg(file, folder) + QStringLiteral("\n\n") + toDo);
    return false;
}

void MainWindow::returnToEntryState() {
    cards_.reset();
    session().CloseCollection();
    showEntryState();
}

// The collection chosen is remembered, as --serveur and --local do, and opened in place of the
// one open; a server is remembered only once it answered.
void MainWindow::chooseCollection() {
    SharedCollectionDialog dialog(session().server(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool toServer = dialog.outcome() == SharedCollectionDialog::Outcome::Server;
    try {
        if (toServer)
            ServerChoice::Remember(dialog.connection());
        else
            ServerChoice::Forget();
    } catch (const UserError& error) {
        MessageBox::Error(QStringLiteral("Le choix n'a pas pu être retenu pour les prochains "
                                         "lancements : %1")
                              .arg(error.text()));
    }
    if (toServer)
        session().UseServer(dialog.connection());
    else
        session().UseLocal();
    returnToEntryState();
}

void MainWindow::startAgain() {
    for (Form* window : findChildren<Form*>(Qt::FindDirectChildrenOnly))
        window->Unload();
    comeBackToEntryState();
}

void MainWindow::comeBack() {
    show();
    raise();
}

// As the window is loaded: the banner of the last selection goes too.
void MainWindow::comeBackToEntryState() {
    RunGuarded([this] {
        lblLabels->setText(kEntryBanner);
        returnToEntryState();
    });
}

// The other window may change or remove the cards on display: none is held meanwhile.
void MainWindow::LeaveViewer() {
    cards_.reset();
    hide();
}

void MainWindow::quit() {
    session().CloseCollection();
    Application::End();
}

void MainWindow::WindowClosed() {
    quit();
}

// The other windows count cards of their own: coming back, this window reads its own selection
// again, so that its banner, its card, its arrows and the session's count agree.
void MainWindow::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    if (!event->spontaneous() && selection_)
        RunGuarded([this] { ShowSelectedCard(shownCard_); });
}

void MainWindow::ShowSelectionAfterReopening() {
    if (session().CollectionIsOpen()) {
        if (selection_)
            ShowSelectedCard(shownCard_);
        return;
    }
    // The failure was told: no card is left on screen to step from.
    selection_.reset();
    cards_.reset();
    Text1->SetText(QString());
    Text2->SetText(QString());
    List1->clear();
    SetViewerVisible(false);
}
