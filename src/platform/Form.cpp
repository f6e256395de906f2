#include "platform/Form.h"

#include "platform/Controls.h"
#include "platform/FocusRing.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QResizeEvent>

Form::Form(const char* className) : client_(new QWidget(this)) {
    setObjectName(QString::fromLatin1(className));
    setCentralWidget(client_);
    client_->setAutoFillBackground(true);
    new FocusRing(client_);
}

double Form::Height() const {
    return PixelsToTwips(height());
}
double Form::Width() const {
    return PixelsToTwips(width());
}
void Form::SetHeight(double twips) {
    resize(width(), TwipsToPixels(twips));
    givenSize_ = size();
}
void Form::SetWidth(double twips) {
    resize(TwipsToPixels(twips), height());
    givenSize_ = size();
}

void Form::BackToDesignLayout() {
    if (!designTaken_) {
        designTaken_ = true;
        for (QObject* control : controls_) {
            DesignPlace place{};
            if (const auto* widget = qobject_cast<const QWidget*>(control)) {
                place.geometry = widget->geometry();
                place.font = widget->font();
                place.ownFont = widget->testAttribute(Qt::WA_SetFont);
            }
            if (const auto* line = qobject_cast<const LineControl*>(control)) {
                place.x1 = line->X1;
                place.y1 = line->Y1;
                place.x2 = line->X2;
                place.y2 = line->Y2;
            }
            design_.push_back(place);
        }
        return;
    }
    for (std::size_t i = 0; i < design_.size(); ++i) {
        const DesignPlace& place = design_[i];
        if (auto* widget = qobject_cast<QWidget*>(controls_[i])) {
            widget->setGeometry(place.geometry);
            widget->setFont(place.ownFont ? place.font : QFont());
        }
        if (auto* line = qobject_cast<LineControl*>(controls_[i])) {
            line->X1 = place.x1;
            line->Y1 = place.y1;
            line->X2 = place.x2;
            line->Y2 = place.y2;
            line->Refresh();
        }
    }
}

QRect Form::DesignBounds() const {
    QRect bounds;
    for (std::size_t i = 0; i < design_.size(); ++i) {
        const auto* widget = qobject_cast<const QWidget*>(controls_[i]);
        if (widget && widget->parentWidget() == client_)
            bounds |= design_[i].geometry;
    }
    return bounds;
}

// Computed rather than read from the client, which the window's layout places only later.
QSize Form::ClientArea() const {
    const QWidget* menu = menuWidget();
    int menuHeight = 0;
    if (menu && !menu->isHidden())
        menuHeight =
            menu->hasHeightForWidth() ? menu->heightForWidth(width()) : menu->sizeHint().height();
    return {width(), height() - menuHeight};
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
    emit UnloadRequested();
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

void Form::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!resized_ || event->size() == givenSize_)
        return;
    givenSize_ = event->size();
    RunGuarded(resized_);
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
