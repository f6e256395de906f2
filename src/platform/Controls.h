#pragma once

#include "platform/TextSpan.h"

#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QStringListModel>
#include <QStringView>
#include <QTextCharFormat>
#include <QWidget>
#include <functional>

struct Pieces;

// A text box. Its text is read and written with CR LF line ends, as cards are stored, and shown
// with the line feeds that Qt's widgets use. Typed characters may go in as their capitals; the
// length limit refuses what would go beyond it.
//
// A long text goes on screen a part at a time, as the user scrolls or moves towards its end, and
// a line of many thousand characters is laid out in pieces: laying out a whole document, or one
// huge line, takes seconds to minutes, while the user only ever sees one screenful.
class TextBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    // What the user has not changed reads back exactly as it was set, whatever its line ends.
    QString Text() const;
    void SetText(const QString& text);
    // In characters, whether or not all of the text is on screen yet.
    qsizetype Length() const;
    void SetMaxLength(int characters) { maxLength_ = characters; }
    // Shown when the length limit refuses something; without one the refusal is silent.
    void SetLimitMessage(const QString& message) { limitMessage_ = message; }
    // A one-line box: Enter inserts nothing, and is told by enterPressed.
    void SetMultiLine(bool multiLine);
    // Each typed character goes in as its capital, whole where it has several letters.
    void SetCapitals(bool capitals) { capitals_ = capitals; }
    // Types a text at the cursor as the user would, within the length limit; false if refused.
    bool Type(const QString& text);
    bool WhollyShown() const { return shownUpTo_ == shown_.size(); }
    // Marks in the given format, as an editor's search does, the stretches that `find` gives of
    // the text as shown (line feeds), and scrolls the first into view. The box shows its text
    // afresh for it; the text itself does not change. The next SetText takes the marks off.
    void Highlight(const std::function<QList<TextSpan>(QStringView shown)>& find,
                   const QTextCharFormat& format);

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    qsizetype RoomLeft() const;
    bool Fits(qsizetype characters);
    void ShowMore(qsizetype characters);
    // Puts the whole text on screen, as moving to its end does.
    void ShowAll();
    void ShowMoreNearEnd();
    void ShowAllAtCursor();
    // Inserts text at the cursor, cutting lines longer than a piece into blocks of their own.
    void ShowFromStart();
    Pieces InsertInPieces(QTextCursor& cursor, QStringView text, qsizetype lineLength);
    // Marks what falls into the part of the shown text from `from`, just put in the document at
    // `position` as `pieces`.
    void HighlightPart(int position, const Pieces& pieces, qsizetype from, qsizetype to);
    void ScrollToFirstHighlight();
    QString ShownText() const;

    QString stored_;
    QString shown_;           // the stored text with the line feeds the box shows
    qsizetype shownUpTo_ = 0; // how much of it is in the document
    qsizetype lastLineLength_ = 0;
    bool edited_ = false;
    bool loading_ = false;
    int maxLength_ = 0; // 0: no limit
    QString limitMessage_;
    bool multiLine_ = true;
    bool capitals_ = false;
    QList<TextSpan> highlights_; // in shown_
    QTextCharFormat highlightFormat_;
};
// A list box of text items. Its items are one shared list of strings, so that the lines of a
// text of megabytes go in and out in one step rather than one item at a time.
class ListBox : public QListView {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    int count() const;
    QString Item(int row) const;
    QStringList Items() const;
    void clear();
    void addItem(const QString& text);
    void addItems(const QStringList& texts);

private:
    QStringListModel* model_;
};

// A picture stretched to its box. It has no font.
class ImageBox : public QLabel {
    Q_OBJECT

public:
    explicit ImageBox(QWidget* parent = nullptr);
};
