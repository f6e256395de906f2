#pragma once

#include "shell/CollectionChoice.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// Said at start when the server chosen does not answer; its buttons are CollectionChoice's.
// Its objectName is "ServeurSansReponse", each button's that of its StartButton.
class UnreachableServerDialog : public QDialog {
    Q_OBJECT

public:
    explicit UnreachableServerDialog(const StoreError& failure, QWidget* parent = nullptr);

    // What the user chose; Quit when the window was closed otherwise.
    CollectionChoice::StartChoice choice() const { return choice_; }
    // Shows the window and waits for the choice.
    static CollectionChoice::StartChoice Ask(const StoreError& failure);

private:
    CollectionChoice::StartChoice choice_ = CollectionChoice::StartChoice::Quit;
};

// « Collection partagée… »: names a server as `--serveur` does, tests it, opens it, or goes back
// to the local collection as `--local` does. A password is never asked for: the window says
// where it goes. Its objectName is "CollectionPartagee"; the field "Connexion", the buttons
// "Tester", "Ouvrir", "CollectionLocale" and "Annuler", the answer "Reponse".
class SharedCollectionDialog : public QDialog {
    Q_OBJECT

public:
    enum class Outcome { Cancelled, Server, Local };
    explicit SharedCollectionDialog(const QString& server, QWidget* parent = nullptr);

    Outcome outcome() const { return outcome_; }
    // The connection of the server that answered « Ouvrir ».
    QString connection() const;

private:
    // Tests the server named; true when it answered.
    bool probe();
    void openServer();

    QLineEdit* connection_;
    QLabel* answer_;
    Outcome outcome_ = Outcome::Cancelled;
};
