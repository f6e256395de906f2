#include "platform/Controls.h"

#include "platform/Guard.h"
#include "platform/Twips.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QTextDocument>

QString StoredToShown(const QString& stored) {
    QString shown = stored;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString ShownToStored(const QString& shown) {
    QString stored = StoredToShown(shown);
    stored.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return stored;
}

// Tab and Shift+Tab go to the next and previous control, as in every other window.
TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
}

// The raw text, since the plain text turns non-breaking spaces into spaces and a card rewritten
// unchanged must stay byte for byte the same.
QString TextBox::Text() const {
    QString shown = document()->toRawText();
    shown.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return ShownToStored(shown);
}

void TextBox::SetText(const QString& text) {
    setPlainText(StoredToShown(text));
}

void TextBox::SetMultiLine(bool multiLine) {
    multiLine_ = multiLine;
    setLineWrapMode(multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(multiLine ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int TextBox::RoomLeft() const {
    if (maxLength_ <= 0)
        return std::numeric_limits<int>::max();
    const int selected = int(textCursor().selectedText().size());
    return maxLength_ - int(toPlainText().size()) + selected;
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool character = enter || (typed.size() == 1 && typed.at(0).isPrint());
    if (!character || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    int keyAscii = enter ? 13 : typed.at(0).unicode();
    if (KeyPress)
        RunGuarded([&] { KeyPress(keyAscii); });
    if (keyAscii == 0 || RoomLeft() < 1)
        return;
    if (keyAscii == 13) {
        if (multiLine_)
            insertPlainText(QStringLiteral("\n"));
        return;
    }
    insertPlainText(QString(QChar(char16_t(keyAscii))));
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    QString text = source->text();
    if (!multiLine_) {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    }
    insertPlainText(text.left(std::max(RoomLeft(), 0)));
}

ImageBox::ImageBox(QWidget* parent) : QLabel(parent) {
    setScaledContents(true);
}

LineControl::LineControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::Refresh() {
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    update();
}

void LineControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawLine(QPointF(X1 / kTwipsPerPixel, Y1 / kTwipsPerPixel),
                     QPointF(X2 / kTwipsPerPixel, Y2 / kTwipsPerPixel));
}
