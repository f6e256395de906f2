#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace MessageBox {

QString AppTitle() {
    return QStringLiteral("Pivanes");
}

void Show(const QString& text, const QString& title) {
    Presenter::Current().Present(Kind::Information, title, text);
}

void Error(const QString& text) {
    Presenter::Current().Present(Kind::Error, AppTitle(), text);
}

Answer AskYesNo(const QString& text, const QString& title) {
    return Presenter::Current().Present(Kind::Question, title, text);
}

// The text can be selected, so that a path or an address in it can be copied.
Answer Presenter::Present(Kind kind, const QString& title, const QString& text) {
    const QMessageBox::Icon icon = kind == Kind::Question ? QMessageBox::Question
                                   : kind == Kind::Error  ? QMessageBox::Critical
                                                          : QMessageBox::Information;
    const QMessageBox::StandardButtons buttons =
        kind == Kind::Question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    const int pressed = box.exec();
    if (kind != Kind::Question)
        return Answer::Ok;
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

} // namespace MessageBox
