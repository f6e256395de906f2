#pragma once

#include "platform/DesignLayout.h"
#include "platform/Guard.h"

#include <QAbstractButton>
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <functional>
#include <vector>

// A window of the program: a collection of controls in the order they were made (menu items
// included), laid out by their design, handlers that never end the program, and a close box that
// runs the window's own way out.
class Form : public QMainWindow {
    Q_OBJECT

public:
    explicit Form(const char* className);

    const std::vector<QObject*>& Controls() const { return controls_; }
    QWidget* Client() const { return client_; }
    DesignLayout* Design() const { return design_; }

    virtual void Form_Load() {}
    // The window goes: hidden at once, deleted (with the windows it opened) once the handler
    // that asked for it has returned.
    void Unload();

protected:
    template <class Control, class... Args>
    Control* AddControl(const char* name, QWidget* parent, Args&&... args) {
        auto* control = new Control(std::forward<Args>(args)..., parent ? parent : client_);
        control->setObjectName(QString::fromLatin1(name));
        controls_.push_back(control);
        design_->addControl(control);
        return control;
    }
    QMenu* AddMenu(const char* name, const QString& caption);
    QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption);
    QAction* AddMenuSeparator(QMenu* menu, const char* name);
    // A command straight on the menu bar.
    QAction* AddMenuCommand(const char* name, const QString& caption);

    template <class F> void OnClick(QAbstractButton* button, void (F::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, Guarded(handler));
    }
    template <class F> void OnTriggered(QAction* action, void (F::*handler)()) {
        connect(action, &QAction::triggered, this, Guarded(handler));
    }
    template <class F, class... Args> auto Guarded(void (F::*handler)(Args...)) {
        return [this, handler](Args... args) {
            RunGuarded([this, handler, &args...] {
                if (BeforeHandler())
                    (static_cast<F*>(this)->*handler)(args...);
            });
        };
    }
    // Runs before each handler of a control or a menu item; the handler runs only when it
    // answers true.
    virtual bool BeforeHandler() { return true; }

    // What the window manager's close box does; by default the window is unloaded.
    virtual void WindowClosed();
    void closeEvent(QCloseEvent* event) override;

    // Escape does what this command does, while it is enabled and shown.
    void OnEscape(QAction* command);
    void OnEscape(QAbstractButton* command);
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* client_;
    DesignLayout* design_;
    std::vector<QObject*> controls_;
    std::function<void()> escape_;
};

// Runs a window's load handler; a window whose load failed is deleted again: it would be an empty
// window to close by hand.
template <class F> F& LoadWindow(F* window) {
    try {
        window->Form_Load();
    } catch (...) {
        delete window;
        throw;
    }
    return *window;
}

// Places a control at a position and size in twips, in its window's design.
void Place(QWidget* control, int left, int top, int width, int height);
void SetMenuVisible(QMenu* menu, bool visible);
bool IsMenuVisible(const QMenu* menu);
