#include "platform/Form.h"

#include "platform/FocusRing.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>

Form::Form(const char* className) : client_(new QWidget(this)), design_(new DesignLayout(client_)) {
    setObjectName(QString::fromLatin1(className));
    setCentralWidget(client_);
    client_->setAutoFillBackground(true);
    new FocusRing(client_);
}

QMenu* Form::AddMenu(const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    controls_.push_back(menu->menuAction());
    return menu;
}

QAction* Form::AddMenuItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    controls_.push_back(action);
    return action;
}

QAction* Form::AddMenuSeparator(QMenu* menu, const char* name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    controls_.push_back(action);
    return action;
}

QAction* Form::AddMenuCommand(const char* name, const QString& caption) {
    QAction* action = menuBar()->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    controls_.push_back(action);
    return action;
}

void Form::Unload() {
    hide();
    deleteLater();
}

void Form::WindowClosed() {
    Unload();
}

void Form::closeEvent(QCloseEvent* event) {
    event->ignore();
    RunGuarded([this] { WindowClosed(); });
}

void Form::OnEscape(QAction* command) {
    escape_ = [command] {
        if (command->isEnabled() && command->isVisible())
            command->trigger();
    };
}

void Form::OnEscape(QAbstractButton* command) {
    escape_ = [command] {
        if (command->isEnabled() && command->isVisible())
            command->click();
    };
}

// Reached when the control that has the focus leaves Escape alone.
void Form::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier || !escape_) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    RunGuarded(escape_);
}

void Place(QWidget* control, int left, int top, int width, int height) {
    DesignLayout::place(control, QRect(left, top, width, height));
}

void SetMenuVisible(QMenu* menu, bool visible) {
    menu->menuAction()->setVisible(visible);
}

bool IsMenuVisible(const QMenu* menu) {
    return menu->menuAction()->isVisible();
}
