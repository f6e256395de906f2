#pragma once

#include <QPointer>
#include <QWidget>

// A frame around the control of the window that has the keyboard focus, drawn over everything
// else in the window: the coloured controls hide the style's own focus mark. It lets the mouse
// through, and follows the control when it moves, changes size or hides.
class FocusRing : public QWidget {
    Q_OBJECT

public:
    // Watches the focus among the controls of this client area.
    explicit FocusRing(QWidget* client);

    // The control it stands around; none while the focus is elsewhere.
    QWidget* Target() const { return target_; }
    // How wide the frame is: it grows with the window.
    int Thickness() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Follow(QWidget* focused);
    void Place();

    QPointer<QWidget> target_;
};
