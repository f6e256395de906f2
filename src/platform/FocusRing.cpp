#include "platform/FocusRing.h"

#include "platform/Look.h"

#include <QApplication>
#include <QPainter>

FocusRing::FocusRing(QWidget* client) : QWidget(client) {
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* focused) { Follow(focused); });
}

// About a sixth of a line of the design's text, never less than three pixels.
int FocusRing::Thickness() const {
    return std::max(3, parentWidget()->height() / 160);
}

void FocusRing::Follow(QWidget* focused) {
    if (target_)
        target_->removeEventFilter(this);
    target_ = focused && parentWidget()->isAncestorOf(focused) ? focused : nullptr;
    if (!target_) {
        hide();
        return;
    }
    target_->installEventFilter(this);
    Place();
}

void FocusRing::Place() {
    // Read once: GCC cannot tell that the guarded pointer stays set between its reads, and an
    // optimised build then fails on its null-dereference warning.
    QWidget* const target = target_;
    if (!target || !target->isVisible()) {
        hide();
        return;
    }
    const int thickness = Thickness();
    const QRect around(target->mapTo(parentWidget(), QPoint(0, 0)), target->size());
    setGeometry(around.adjusted(-thickness, -thickness, thickness, thickness));
    const QRect inner = rect().adjusted(thickness, thickness, -thickness, -thickness);
    setMask(QRegion(rect()).subtracted(QRegion(inner)));
    show();
    raise();
    update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        Place();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// A yellow band edged in navy, the windows' own colours: it shows on their light blue, on the
// blue boxes and on white lists alike.
void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Colors::Navy);
    const int edge = std::max(1, Thickness() / 3);
    painter.fillRect(rect().adjusted(edge, edge, -edge, -edge), Colors::Yellow);
}
