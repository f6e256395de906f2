#pragma once

#include "platform/Controls.h"
#include "shell/Window.h"
#include "store/Collection.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <memory>
#include <optional>

class CardCursor;
class TextQuery;
struct Category;

// The main window: one card at a time, and the menus that lead to every other window.
//
// Its handlers live beside the windows they open, so that each subsystem includes only what it
// uses and no header depends on a subsystem above it:
//   shell/MainWindow.cpp                   menus, work area, entry state, Retour, Quitter,
//                                          the collection chosen
//   browse/MainWindowCategories.cpp        category items, GENERALE, Bureautique
//   browse/MainWindowViewer.cpp            the card on display and the four arrows
//   browse/MainWindowGrids.cpp             Liste and Recherche
//   edit/MainWindowEdit.cpp                Ajouter Une Fiche and Modif une fiche
//   print/MainWindowPrint.cpp              Imprimer Fiche
//   maintenance/MainWindowMaintenance.cpp  Sauvegarde, compaction, help and web page
// Its objectName, which scripts and the guide know, is "KorPivane".
class MainWindow : public Window {
    Q_OBJECT

public:
    explicit MainWindow(Session& session);
    ~MainWindow() override;

    void Form_Load() override;
    // Shows the card that a grid window chose, when the cards it listed (the session's last
    // counted) hold it.
    void showChosenCard(qint64 numero);
    // Marks the searched words in the card on display, when the search finds that card; the next
    // card shown is unmarked.
    void highlightFoundWords(const TextQuery& query);
    // The collection was restored by another program: every other window goes, and this one
    // starts again from its entry state on the collection as it is now.
    void startAgain();

protected:
    void WindowClosed() override;
    void showEvent(QShowEvent* event) override;

private:
    void showEntryState();
    void refreshViewer();
    void returnToEntryState();
    void quit();
    void showOfficeMenu();
    void showAllCards();
    // The handler of each category item of both menus.
    void showCategory(const QString& code);
    // The four arrows: "<<", "<", ">" and ">>".
    void showFirstCard();
    void showPreviousCard();
    void showNextCard();
    void showLastCard();
    void printShownCard();
    void openCardList();
    void openSearch();
    void openHelp();
    void openWebPage();
    void openBackupWindow();
    void compactCollection();
    void openTrashWindow();
    void exportCollection();
    // « Collection partagée… »: another server, or the local collection.
    void chooseCollection();
    void openCardPicker();
    void openNewCardForm();
    // The window opened in place of this one came back: from where it was, or from the entry
    // state when the other window changed what the cards are (new cards, the trash, a restore).
    void comeBack();
    void comeBackToEntryState();
    // Hides this window for one that changes what the cards are.
    void LeaveViewer();
    // A grid window chose a card for this window to show.
    void showCardFromGrid(qint64 numero);

    // The cards that the banner names and the arrows step through, and their label.
    struct ShownSelection {
        Selection cards;
        QString labelPrefix;
    };

    void BuildMenus();
    void BuildWorkArea();
    QAction* AddCategoryItem(QMenu* menu, const Category& category);
    void OpenDatabase();
    // A collection that can only be read says so in the title, and its writing commands are off.
    void ShowWriteAccess();
    // False, once the user has been told what to do, when no collection is open.
    bool CollectionIsOpen() const;
    void ShowSelection(const Selection& cards, const QString& labelPrefix);
    // Reads the selection afresh and shows the given card of it, or its first card when it no
    // longer holds that one.
    void ShowSelectedCard(std::optional<qint64> numero);
    void ShowEmptySelection(const QString& labelPrefix);
    void ShowBanner(const QString& labelPrefix, qint32 count);
    void ShowSelectionCommands();
    // The cursor of the cards shown; throws when no cards are shown.
    CardCursor& Cursor() const;
    void ShowCurrentRow();
    void SetViewerVisible(bool visible);
    // After the database was closed and opened again under the card on screen.
    void ShowSelectionAfterReopening();
    void ShowBusy(bool busy);
    // Whether the selection on display holds the card.
    bool SelectionHolds(const StoredCard& card) const;

    // None in the entry state and in the office menu.
    std::optional<ShownSelection> selection_;
    // Where the arrows stand in the cards shown.
    std::unique_ptr<CardCursor> cards_;
    qint64 shownCard_ = 0;
    // The card whose number the viewer shows, or the one a grid chose last. A foreign file may
    // number cards beyond 32 bits: they are shown and kept as stored.
    qint64 currentCard_ = 0;
    // Where the user was when a long task took the window's commands away.
    QPointer<QWidget> focusBeforeTask_;

    QLabel* lblLabels;
    TextBox* Text1;
    TextBox* Text2;
    ListBox* List1; // the text's print lines, never shown
    QPushButton* Command3;
    QPushButton* Command1;
    QLabel* Label2;
    QPushButton* Command2;
    QPushButton* Command4;
    QLabel* Label1;
    QAction* Retour;
    QAction* Imprime;
    QAction* ListeFiche;
    QMenu* Catego;
    QMenu* Bur;
};
