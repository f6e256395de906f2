#pragma once

#include <QFont>
#include <QLayout>
#include <QPointer>
#include <QRect>
#include <optional>
#include <vector>

// Where a window's controls stand and how large their text is, in one place. A window is designed
// for 9000 x 12000 twips (600 x 800 pixels, 15 twips to a pixel); each control has its place in
// that design, in twips from its container's corner, and the font it is built with.
//
// Loaded, the window takes the size that the screen's height gives it (five heights have their
// own percentages, others continue their trend) and every control, its font included, grows by
// one percentage. When the user resizes or maximises the window, the controls are scaled again
// from their design: as large as the window's share of the design lets them, with every control
// seen whole, and the width they leave shared on both sides. Back at the size of its load, the
// window is as loaded.
class DesignLayout : public QLayout {
    Q_OBJECT

public:
    // Lays out the controls of this client area of a window.
    explicit DesignLayout(QWidget* client);
    ~DesignLayout() override;

    // Takes a control into the design: one on the client area, or inside a container that is
    // itself on it. Where it stands and its font at the window's first load are its design.
    void addControl(QWidget* control);
    // Puts a control at its place in the design, in twips.
    static void place(QWidget* control, const QRect& twips);
    // A control of the design that covers the whole client area, at any scale.
    void fill(QWidget* control);

    // Sizes the window for the screen and scales its controls to it; the window is then centred
    // on its screen, unless it is on screen already. Answers the controls' percentage.
    int loadForScreen();
    int percent() const { return percent_; }
    // A design length in twips at the window's scale, rounded halves to even: in twips, and in
    // whole pixels.
    int scaledTwips(double designTwips) const;
    int scaledPixels(double designTwips) const;

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

signals:
    // The user's resizing scaled the controls to this percentage.
    void rescaled(int percent);

private:
    struct Control {
        QPointer<QWidget> widget;
        QRect design; // in pixels
        QFont font;
        int points = 0;
        bool hasFont = false;
        bool fills = false;
    };

    // The places and fonts of the controls as the window built and dressed them.
    void takeDesign();
    // Scales every control from its design; with a shift, those on the client area move right.
    // What fills the client area is sized to it, once it is known.
    void scaleControls(int percent, int shift, const std::optional<QRect>& client);
    // The percentage for the window at its present size and this client area.
    int percentForSize(const QSize& client) const;
    QRect designBounds() const;
    QWidget* form() const;

    std::vector<Control> controls_;
    std::vector<QLayoutItem*> items_;
    bool loaded_ = false;
    int percent_ = 100;
    int loadedPercent_ = 100;
    QSize loadedSize_;
    QSize placedFor_; // the client area the controls were last placed for
};
