#include "shell/ServerDialogs.h"

#include "store/StoreError.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* WrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton* AddButton(QDialogButtonBox* box, const QString& caption, const char* name,
                       QDialogButtonBox::ButtonRole role) {
    QPushButton* button = box->addButton(caption, role);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

UnreachableServerDialog::UnreachableServerDialog(const StoreError& failure, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ServeurSansReponse"));
    setWindowTitle(QStringLiteral("Pivanes — le serveur ne répond pas"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(WrappedLabel(CollectionChoice::UnreachableText(failure), this));
    auto* buttons = new QDialogButtonBox(this);
    for (const CollectionChoice::StartButton& each : CollectionChoice::StartButtons()) {
        QPushButton* button =
            AddButton(buttons, each.caption, each.objectName, QDialogButtonBox::ActionRole);
        connect(button, &QPushButton::clicked, this, [this, choice = each.choice] {
            choice_ = choice;
            accept();
        });
    }
    layout->addWidget(buttons);
    resize(560, sizeHint().height());
}

CollectionChoice::StartChoice UnreachableServerDialog::Ask(const StoreError& failure) {
    UnreachableServerDialog dialog(failure);
    dialog.exec();
    return dialog.choice();
}

SharedCollectionDialog::SharedCollectionDialog(const QString& server, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CollectionPartagee"));
    setWindowTitle(QStringLiteral("Collection partagée"));
    auto* form = new QFormLayout(this);
    form->addRow(WrappedLabel(
        QStringLiteral("La collection partagée d'une équipe est sur un serveur PostgreSQL. "
                       "Nommez-le comme « pivanes --serveur » : postgresql://rôle@serveur/base "
                       "ou service=nom."),
        this));
    connection_ = new QLineEdit(server, this);
    connection_->setObjectName(QStringLiteral("Connexion"));
    connection_->setMinimumWidth(360);
    form->addRow(QStringLiteral("CONNEXION"), connection_);
    form->addRow(WrappedLabel(
        QStringLiteral("Le mot de passe ne se met pas ici et Pivanes ne l'écrit nulle part : "
                       "mettez-le dans ~/.pgpass (une ligne serveur:5432:base:rôle:mot de "
                       "passe, fichier en mode 600)."),
        this));
    answer_ = WrappedLabel(QString(), this);
    answer_->setObjectName(QStringLiteral("Reponse"));
    form->addRow(answer_);

    auto* buttons = new QDialogButtonBox(this);
    connect(AddButton(buttons, QStringLiteral("Tester"), "Tester", QDialogButtonBox::ActionRole),
            &QPushButton::clicked, this, &SharedCollectionDialog::probe);
    connect(AddButton(buttons, QStringLiteral("Ouvrir le serveur"), "Ouvrir",
                      QDialogButtonBox::AcceptRole),
            &QPushButton::clicked, this, &SharedCollectionDialog::openServer);
    connect(AddButton(buttons, QStringLiteral("Revenir à la collection locale"), "CollectionLocale",
                      QDialogButtonBox::ResetRole),
            &QPushButton::clicked, this, [this] {
                outcome_ = Outcome::Local;
                accept();
            });
    connect(AddButton(buttons, QStringLiteral("Annuler"), "Annuler", QDialogButtonBox::RejectRole),
            &QPushButton::clicked, this, &QDialog::reject);
    form->addRow(buttons);
}

QString SharedCollectionDialog::connection() const {
    return connection_->text().trimmed();
}

bool SharedCollectionDialog::probe() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CollectionChoice::Probe probed = CollectionChoice::ProbeServer(connection());
    QApplication::restoreOverrideCursor();
    answer_->setText(probed.text);
    return probed.answered;
}

void SharedCollectionDialog::openServer() {
    if (!probe())
        return;
    outcome_ = Outcome::Server;
    accept();
}
