#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>

// A text box. Its text is read and written with CR LF line ends, as cards are stored, and shown
// with the line feeds that Qt's widgets use. Typed characters pass through a key-press handler
// that may replace or refuse them; the length limit refuses what would go beyond it.
class TextBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);
    void SetMaxLength(int characters) { maxLength_ = characters; }
    int MaxLength() const { return maxLength_; }
    // A one-line box: Enter reaches the key-press handler but inserts nothing.
    void SetMultiLine(bool multiLine);

    // Receives the character code of each typed character; 0 refuses it.
    std::function<void(int& keyAscii)> KeyPress;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int RoomLeft() const;

    int maxLength_ = 0; // 0: no limit
    bool multiLine_ = true;
};

// Converts between stored text (CR LF) and what the widgets show (LF).
QString StoredToShown(const QString& stored);
QString ShownToStored(const QString& shown);

// A picture stretched to its box. It has no font.
class ImageBox : public QLabel {
    Q_OBJECT

public:
    explicit ImageBox(QWidget* parent = nullptr);
};

// A line between two end points, in twips from its container's corner. It has no box.
class LineControl : public QWidget {
    Q_OBJECT

public:
    explicit LineControl(QWidget* parent = nullptr);

    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
};
