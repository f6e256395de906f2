#include "platform/Form.h"

#include "platform/Forms.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QMenuBar>

Form::Form(const char* className) : client_(new QWidget(this)) {
    setObjectName(QString::fromLatin1(className));
    setCentralWidget(client_);
    client_->setAutoFillBackground(true);
}

double Form::Height() const {
    return PixelsToTwips(height());
}
double Form::Width() const {
    return PixelsToTwips(width());
}
void Form::SetHeight(double twips) {
    resize(width(), TwipsToPixels(twips));
}
void Form::SetWidth(double twips) {
    resize(TwipsToPixels(twips), height());
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

void Form::WindowClosed() {
    Forms::Unload(this);
}

void Form::closeEvent(QCloseEvent* event) {
    event->ignore();
    RunGuarded([this] { WindowClosed(); });
}

void Place(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                         TwipsToPixels(height));
}

void SetMenuVisible(QMenu* menu, bool visible) {
    menu->menuAction()->setVisible(visible);
}

bool IsMenuVisible(const QMenu* menu) {
    return menu->menuAction()->isVisible();
}
