// Opens the program's windows on the demo collection, as a user would go through them, and
// saves a picture of each for the user guide. Run under a screen (tools/screenshots.sh uses a
// virtual one). Prints the captions of every menu, so that the guide can name them as shown.
//   pivanes-screens FOLDER
#include "DemoCards.h"
#include "DesktopFakes.h"
#include "WindowControls.h"
#include "browse/CardGrid.h"
#include "browse/CardList.h"
#include "browse/SearchWindow.h"
#include "convert/Isolated.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "edit/TrashWindow.h"
#include "maintenance/BackupWindow.h"
#include "platform/Application.h"
#include "platform/Guard.h"
#include "platform/MessageBox.h"
#include "print/PrintPreview.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "shell/Session.h"
#include "shell/Splash.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

QDir output;

void Settle() {
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "pivanes-screens : %s\n", what);
    std::exit(1);
}

void Save(const QPixmap& picture, const char* name) {
    const QString file = output.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!picture.save(file))
        Fail("une image n'a pas pu être écrite");
    std::printf("%s\n", qPrintable(file));
}

void Capture(QWidget& window, const char* name) {
    Settle();
    Save(window.grab(), name);
}

template <typename F> F& Showing() {
    Settle();
    F* form = FindWindow<F>();
    if (!form || !form->isVisible())
        Fail(F::staticMetaObject.className());
    return *form;
}

void Trigger(const QWidget& form, const char* name) {
    auto* item = form.findChild<QAction*>(QString::fromLatin1(name));
    if (!item)
        Fail(name);
    item->trigger();
    Settle();
}

void Press(const QWidget& form, const char* name) {
    auto* button = form.findChild<QPushButton*>(QString::fromLatin1(name));
    if (!button)
        Fail(name);
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
}

void ClickRow(CardGrid& grid, int row) {
    const QModelIndex cell = grid.model()->index(row - 1, 1);
    grid.scrollTo(cell);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
    Settle();
}

// An open menu, pictured with the window's menu bar above it.
void CaptureMenu(QWidget& window, QMenu& menu, const char* name) {
    std::printf("menu %s « %s » :", qPrintable(menu.objectName()), qPrintable(menu.title()));
    for (const QAction* item : menu.actions())
        if (item->isVisible())
            std::printf(" [%s]", qPrintable(item->text()));
    std::printf("\n");
    menu.popup(window.mapToGlobal(QPoint(0, 0)));
    Settle();
    Save(menu.grab(), name);
    menu.hide();
    Settle();
}

void StartUp(Session& session) {
    StartProgram(session);
    Splash& splash = Showing<Splash>();
    Control<QTimer>(splash, "Timer1")->stop();
    for (int tick = 1; tick <= 40; ++tick)
        splash.tick();
    Settle();
    Save(QGuiApplication::primaryScreen()->grabWindow(0), "demarrage");
    for (int tick = 41; tick <= 101; ++tick)
        splash.tick();
}

void MainWindowAndMenus() {
    MainWindow& main = Showing<MainWindow>();
    Capture(main, "principale");
    CaptureMenu(main, *Control<QMenu>(main, "Catego"), "menu-categories");
    Trigger(main, "Windows");
    Capture(main, "fiche");
    CaptureMenu(main, *Control<QMenu>(main, "Fichier"), "menu-menu");
    CaptureMenu(main, *Control<QMenu>(main, "Util"), "menu-utilitaire");
    Trigger(main, "Bureautique");
    CaptureMenu(main, *Control<QMenu>(main, "Bur"), "menu-bureautique");
    Trigger(main, "Ret");
    Trigger(main, "Windows");
}

void ListAndSearch() {
    Trigger(Showing<MainWindow>(), "ListeFiche");
    Capture(Showing<CardList>(), "liste");
    ClickRow(*Control<CardGrid>(Showing<CardList>(), "MSFlexGrid1"), 2);

    Trigger(Showing<MainWindow>(), "Recher");
    SearchWindow& search = Showing<SearchWindow>();
    Capture(search, "recherche-mot");
    Control<TextBox>(search, "Text1")->SetText(QStringLiteral("RACCOURCIS"));
    QTest::keyClick(Control<TextBox>(search, "Text1"), Qt::Key_Return);
    Capture(Showing<SearchWindow>(), "recherche");
    ClickRow(*Control<CardGrid>(Showing<SearchWindow>(), "MSFlexGrid1"), 1);

    Trigger(Showing<MainWindow>(), "Recher");
    SearchWindow& textSearch = Showing<SearchWindow>();
    Control<QCheckBox>(textSearch, "Check1")->setChecked(true);
    Control<TextBox>(textSearch, "Text1")->SetText(QStringLiteral("cle primaire"));
    Capture(textSearch, "recherche-textes-mot");
    QTest::keyClick(Control<TextBox>(textSearch, "Text1"), Qt::Key_Return);
    Capture(Showing<SearchWindow>(), "recherche-textes");
    ClickRow(*Control<CardGrid>(Showing<SearchWindow>(), "MSFlexGrid1"), 1);
    Capture(Showing<MainWindow>(), "fiche-trouvee");

    Trigger(Showing<MainWindow>(), "Recher");
    SearchWindow& fruitless = Showing<SearchWindow>();
    Control<TextBox>(fruitless, "Text1")->SetText(QStringLiteral("zorglub"));
    QTest::keyClick(Control<TextBox>(fruitless, "Text1"), Qt::Key_Return);
    Capture(Showing<SearchWindow>(), "recherche-aucune");
    Trigger(Showing<SearchWindow>(), "ListeFin");
}

void Printout() {
    Trigger(Showing<MainWindow>(), "Imprime");
    PrintPreview& printout = Showing<PrintPreview>();
    Capture(printout, "imprimer");
    Press(printout, "Retour");
}

void Editing() {
    Trigger(Showing<MainWindow>(), "Modif");
    NewCardForm& add = Showing<NewCardForm>();
    Control<TextBox>(add, "Text1")->SetText(QStringLiteral("VIDER LA CORBEILLE SANS CONFIRMATION"));
    Control<TextBox>(add, "Text2")
        ->SetText(QStringLiteral("Maj+Suppr supprime le fichier choisi sans passer par la "
                                 "corbeille."));
    Capture(add, "ajouter");
    Press(add, "Command1");
    Capture(Showing<NewCardForm>(), "ajouter-categorie");
    // What was typed is left: the form asks first.
    Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
    Trigger(Showing<NewCardForm>(), "Retour");

    Trigger(Showing<MainWindow>(), "Ajout");
    Capture(Showing<CardPicker>(), "modifier-choix");
    Press(Showing<CardPicker>(), "Windows");
    Capture(Showing<CardPicker>(), "modifier-liste");
    ClickRow(*Control<CardGrid>(Showing<CardPicker>(), "MSFlexGrid1"), 1);
    Capture(Showing<CardEditor>(), "modifier");
    Trigger(Showing<CardEditor>(), "Retour");
    Trigger(Showing<CardPicker>(), "ListeFin");
}

// Two cards deleted from the card editor, seen in the trash; one put back, the trash emptied.
void Trash() {
    for (int row : {1, 1}) {
        Trigger(Showing<MainWindow>(), "Ajout");
        Press(Showing<CardPicker>(), "Windows");
        ClickRow(*Control<CardGrid>(Showing<CardPicker>(), "MSFlexGrid1"), row);
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        Press(Showing<CardEditor>(), "Supprimer");
        Trigger(Showing<CardPicker>(), "ListeFin");
    }
    Trigger(Showing<MainWindow>(), "Corbeille");
    Capture(Showing<TrashWindow>(), "corbeille");
    ClickRow(*Control<CardGrid>(Showing<TrashWindow>(), "MSFlexGrid1"), 1);
    Press(Showing<TrashWindow>(), "Remettre");
    Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
    Press(Showing<TrashWindow>(), "Vider");
    Capture(Showing<TrashWindow>(), "corbeille-vide");
    Press(Showing<TrashWindow>(), "Quitter");
}

void Backup() {
    Trigger(Showing<MainWindow>(), "Quitter");
    BackupWindow& backup = Showing<BackupWindow>();
    Capture(backup, "sauvegarde");
    Trigger(backup, "Sauve");
    Capture(backup, "sauvegarde-ecrire");
    Trigger(backup, "Quitter");
    Trigger(Showing<MainWindow>(), "Quitter");
    Trigger(Showing<BackupWindow>(), "Restoration");
    Capture(Showing<BackupWindow>(), "sauvegarde-lire");
    Trigger(Showing<BackupWindow>(), "Quitter");
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> served = Isolated::ServeIfAsked(argc, argv))
        return *served;
    PivanesApplication app(argc, argv);
    if (argc != 2)
        Fail("usage : pivanes-screens DOSSIER");
    output = QDir(QString::fromLocal8Bit(argv[1]));
    if (!output.mkpath(QStringLiteral(".")))
        Fail("le dossier des images n'a pas pu être créé");
    output.setPath(output.absolutePath());
    // Nothing leaves the virtual screen: no box waits for an answer, nothing is printed.
    // The clock stands still, so that two runs draw the same pictures.
    Fakes().clock.Set([] { return QDateTime(QDate(2026, 3, 14), QTime(10, 30)); });

    QTemporaryDir data;
    QDir::setCurrent(data.path());
    WriteDemoCollection(QStringLiteral("Pivane.mdb"));
    Session session;
    RunGuarded([&session] {
        StartUp(session);
        MainWindowAndMenus();
        ListAndSearch();
        Printout();
        Editing();
        Trash();
        Backup();
    });
    for (const Fake::Message& message : Fakes().messages.Shown())
        std::printf("message : %s\n", qPrintable(message.text));
    Application::CloseAllWindows();
    return 0;
}
