#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

#include <QLabel>
#include <QPushButton>
#include <optional>

class Recordset;
struct Category;

// The main window: one card at a time, and the menus that lead to every other window.
//
// Its handlers live beside the windows they open, so that each subsystem includes only what it
// uses and no header depends on a subsystem above it:
//   shell/MainWindow.cpp                   menus, work area, Depart, Retour, Quit
//   browse/MainWindowCategories.cpp        category items, GENERALE, Bureautique
//   browse/MainWindowViewer.cpp            Lire, Voir and the four step buttons
//   browse/MainWindowGrids.cpp             Liste and Recherche
//   edit/MainWindowEdit.cpp                Ajouter Une Fiche and Modif une fiche
//   print/MainWindowPrint.cpp              Imprimer Fiche
//   maintenance/MainWindowMaintenance.cpp  Sauvegarde, compaction, help and web page
// Its objectName, which scripts and the guide know, is "KorPivane".
class MainWindow : public Form {
    Q_OBJECT

public:
    MainWindow();

    QLabel* lblLabels;
    TextBox* Text1;
    TextBox* Text2;
    ListBox* List1;
    QPushButton* Command3;
    QPushButton* Command1;
    QLabel* Label2;
    QPushButton* Command2;
    QPushButton* Command4;
    QLabel* Label1;

    QMenu* Fichier;
    QAction* Retour;
    QAction* Imprime;
    QAction* ListeFiche;
    QAction* Recher;
    QAction* Lisezmoi;
    QAction* Talm;
    QAction* vide;
    QAction* Quitter;
    QAction* Compacte;
    QAction* Quit;
    QMenu* Util;
    QAction* Ajout;
    QAction* Modif;
    QMenu* Catego;
    QAction* Bureautique;
    QAction* General;
    QMenu* Bur;
    QAction* Ret;

public slots:
    void Form_Load() override;
    void Depart();
    void Lire();
    void Voir();

    void Retour_Click();
    void Ret_Click();
    void Quit_Click();
    void Bureautique_Click();
    void General_Click();
    // The handler of each category item of both menus.
    void ChooseCategory(const QString& code);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    void Imprime_Click();
    void ListeFiche_Click();
    void Recher_Click();
    void Lisezmoi_Click();
    void Talm_Click();
    void Quitter_Click();
    void Compacte_Click();
    void Ajout_Click();
    void Modif_Click();

protected:
    void WindowClosed() override;
    void showEvent(QShowEvent* event) override;

private:
    // The cards that the banner names and the arrows step through: a query and its label.
    struct Selection {
        QString sql;
        QString labelPrefix;
    };

    void BuildMenus();
    void BuildWorkArea();
    QAction* AddCategoryItem(QMenu* menu, const Category& category);
    void OpenDatabase();
    // False, once the user has been told what to do, when no collection is open.
    bool CollectionIsOpen() const;
    void ShowSelection(const QString& sql, const QString& labelPrefix);
    // Reads the selection afresh and shows the given card of it, or its first card when it no
    // longer holds that one.
    void ShowSelectedCard(std::optional<qint64> numero);
    void ShowEmptySelection(const QString& labelPrefix);
    void ShowBanner(const QString& labelPrefix, qint32 count);
    void ShowSelectionCommands();
    void ShowCurrentRow();
    void SetViewerVisible(bool visible);
    // After the database was closed and opened again under the card on screen.
    void ShowSelectionAfterReopening();
    // Whether the selection on display holds the card the record set stands on.
    bool SelectionHolds(const Recordset& cards) const;

    // None in the entry state and in the office menu.
    std::optional<Selection> selection_;
    qint64 shownCard_ = 0;
};
