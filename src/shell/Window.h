#pragma once

#include "platform/Form.h"

class Session;

// A window of the program: it works in the session that the shell handed to the first window,
// and scales itself to the screen when it loads.
class Window : public Form {
    Q_OBJECT

signals:
    // The window left by its own way out ("Retour", "Quitter", its close box) for its opener.
    void finished();

protected:
    Window(const char* objectName, Session& session);

    Session& session() const { return session_; }

    // Opens a window of this one's, on its session: it goes with this one.
    template <class F, class... Args> F& Open(Args&&... args) {
        auto* window = new F(session_, std::forward<Args>(args)...);
        window->setParent(this, window->windowFlags());
        return LoadWindow(window);
    }
    // Leaves for the opener, which is told.
    void Leave();

    // The first step of a scaled window's load: the design layout scaled to the screen, and
    // again, from the design, whenever the user resizes the window.
    void scaleToScreen();
    qint32 scalePercent() const { return Design()->percent(); }
    // A design size in twips at the window's scale, and the same in whole pixels on screen.
    qint32 scaled(double designTwips) const { return Design()->scaledTwips(designTwips); }
    int scaledPixels(double designTwips) const { return Design()->scaledPixels(designTwips); }
    // For what the window sizes from its scale itself, once its controls are scaled again.
    virtual void scaleChanged() {}

    // Before any action, a collection that another program restored meanwhile is said, and the
    // program starts again from the main window on the restored cards.
    bool BeforeHandler() override;

private:
    Session& session_;
};
