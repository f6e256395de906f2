#pragma once

#include "platform/Guard.h"

#include <QAbstractButton>
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <functional>
#include <vector>

// A window of the program: a size in twips, a collection of controls in the order they were
// made (menu items included), handlers that never end the program, and a close box that runs
// the window's own way out.
class Form : public QMainWindow {
    Q_OBJECT

public:
    explicit Form(const char* className);

    double Height() const;
    double Width() const;
    void SetHeight(double twips);
    void SetWidth(double twips);

    const std::vector<QObject*>& Controls() const { return controls_; }
    QWidget* Client() const { return client_; }

    // Puts every control back where it was built, with its font, as taken the first time this
    // runs: a load that runs again scales from the design, never from geometry already scaled.
    void BackToDesignLayout();
    // Where the controls on the window itself reach in the design layout, in pixels.
    QRect DesignBounds() const;
    // The area below the menu bar, where the controls lie.
    QSize ClientArea() const;

    // What a change of the window's size by the user (or the window manager) does; the sizes
    // the program gives the window itself do not call it.
    void OnResized(std::function<void()> handler) { resized_ = std::move(handler); }

public slots:
    virtual void Form_Load() {}

signals:
    // What the window's own way out asks of the forms runtime that loaded it.
    void UnloadRequested();

protected:
    template <class Control, class... Args>
    Control* AddControl(const char* name, QWidget* parent, Args&&... args) {
        auto* control = new Control(std::forward<Args>(args)..., parent ? parent : client_);
        control->setObjectName(QString::fromLatin1(name));
        controls_.push_back(control);
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
    template <class F> auto Guarded(void (F::*handler)()) {
        return [this, handler] {
            RunGuarded([this, handler] {
                if (BeforeHandler())
                    (static_cast<F*>(this)->*handler)();
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
    void resizeEvent(QResizeEvent* event) override;

private:
    struct DesignPlace {
        QRect geometry;
        QFont font;
        // A control without a font of its own (a progress bar) takes its parent's, scaled.
        bool ownFont;
        double x1, y1, x2, y2;
    };

    QWidget* client_;
    std::vector<QObject*> controls_;
    std::vector<DesignPlace> design_;
    bool designTaken_ = false;
    std::function<void()> escape_;
    std::function<void()> resized_;
    QSize givenSize_; // the size the program last gave the window
};

// Places a control at a position and size in twips.
void Place(QWidget* control, int left, int top, int width, int height);
void SetMenuVisible(QMenu* menu, bool visible);
bool IsMenuVisible(const QMenu* menu);
