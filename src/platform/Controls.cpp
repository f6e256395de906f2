#include "platform/Controls.h"

#include "platform/Capitals.h"
#include "platform/Guard.h"
#include "platform/LineEnds.h"
#include "platform/MessageBox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace {

// The first part of a text fills many screens; each further part is taken as the user nears the
// end of the last.
constexpr qsizetype kFirstPart = 65536;
constexpr qsizetype kNextPart = 65536;

// Marks a block that continues the line of the block before it.
constexpr int kContinuesLine = 1;

} // namespace

// Tab and Shift+Tab go to the next and previous control, as in every other window.
TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (!loading_ && (removed != 0 || added != 0))
            edited_ = true;
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TextBox::ShowMoreNearEnd);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TextBox::ShowAllAtCursor);
    connect(this, &QPlainTextEdit::selectionChanged, this, &TextBox::ShowAllAtCursor);
}

QString TextBox::Text() const {
    if (!edited_)
        return stored_;
    const QString shown = ShownText();
    return shown == shown_ ? stored_ : ShownToStored(shown);
}

// The blocks joined again, line breaks only where the text had them, then what is not on
// screen yet. The raw text, since the plain text turns non-breaking spaces into spaces.
QString TextBox::ShownText() const {
    QString shown;
    shown.reserve(document()->characterCount() + shown_.size() - shownUpTo_);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin() && block.userState() != kContinuesLine)
            shown += QLatin1Char('\n');
        shown += block.text();
    }
    shown += QStringView(shown_).mid(shownUpTo_);
    return shown;
}

void TextBox::SetText(const QString& text) {
    stored_ = text;
    shown_ = StoredToShown(text);
    highlights_.clear();
    ShowFromStart();
}

void TextBox::ShowFromStart() {
    shownUpTo_ = 0;
    lastLineLength_ = 0;
    loading_ = true;
    setExtraSelections({});
    setPlainText(QString());
    loading_ = false;
    ShowMore(kFirstPart);
    moveCursor(QTextCursor::Start);
    edited_ = false;
}

// Showing the text afresh would drop what the user typed: an edited text keeps it, unmarked.
void TextBox::Highlight(const std::function<QList<TextSpan>(QStringView shown)>& find,
                        const QTextCharFormat& format) {
    if (edited_)
        return;
    highlights_ = find(shown_);
    highlightFormat_ = format;
    ShowFromStart();
    ScrollToFirstHighlight();
}

void TextBox::HighlightPart(int position, const Pieces& pieces, qsizetype from, qsizetype to) {
    QList<QTextEdit::ExtraSelection> marks = extraSelections();
    const qsizetype count = marks.size();
    // The stretches come in order and apart: those before this part were marked already.
    const auto ended = [](const TextSpan& span, qsizetype at) {
        return span.start + span.length <= at;
    };
    for (auto span = std::lower_bound(highlights_.cbegin(), highlights_.cend(), from, ended);
         span != highlights_.cend() && span->start < to; ++span) {
        const qsizetype first = std::max(span->start, from);
        const qsizetype last = std::min(span->start + span->length, to);
        QTextCursor cursor(document());
        cursor.setPosition(position + int(DocumentPosition(pieces, first - from)));
        cursor.setPosition(position + int(DocumentPosition(pieces, last - from)),
                           QTextCursor::KeepAnchor);
        marks.append({cursor, highlightFormat_});
    }
    if (marks.size() > count)
        setExtraSelections(marks);
}

void TextBox::ScrollToFirstHighlight() {
    if (highlights_.isEmpty())
        return;
    const qsizetype firstEnd = highlights_.front().start + highlights_.front().length;
    if (firstEnd > shownUpTo_)
        ShowMore(firstEnd - shownUpTo_);
    const QList<QTextEdit::ExtraSelection> marks = extraSelections();
    if (marks.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.setPosition(marks.front().cursor.selectionStart());
    setTextCursor(cursor);
    ensureCursorVisible();
}

// The cuts between the pieces of a long line take a place in the document but are no character.
qsizetype TextBox::Length() const {
    if (!edited_)
        return shown_.size();
    qsizetype cuts = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        cuts += block.userState() == kContinuesLine;
    return document()->characterCount() - 1 - cuts + shown_.size() - shownUpTo_;
}

void TextBox::ShowAll() {
    ShowMore(shown_.size() - shownUpTo_);
}

// The user's own undo steps would take the text shown back off the screen: they go.
void TextBox::ShowMore(qsizetype characters) {
    if (WhollyShown() || loading_)
        return;
    loading_ = true;
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    const qsizetype end = std::min(shown_.size(), shownUpTo_ + characters);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const int position = cursor.position();
    const Pieces pieces = InsertInPieces(
        cursor, QStringView(shown_).mid(shownUpTo_, end - shownUpTo_), lastLineLength_);
    lastLineLength_ = cursor.positionInBlock();
    HighlightPart(position, pieces, shownUpTo_, end);
    shownUpTo_ = end;
    document()->setUndoRedoEnabled(undo);
    loading_ = false;
}

// In one insertion, so that the document lays the blocks out when they come into view rather
// than each as it is inserted.
Pieces TextBox::InsertInPieces(QTextCursor& cursor, QStringView text, qsizetype lineLength) {
    Pieces pieces = CutInPieces(text, lineLength);
    const int start = cursor.position();
    cursor.insertText(pieces.text);
    for (const qsizetype cut : pieces.cuts)
        document()->findBlock(start + int(cut) + 1).setUserState(kContinuesLine);
    return pieces;
}

void TextBox::ShowMoreNearEnd() {
    const QScrollBar* bar = verticalScrollBar();
    if (!WhollyShown() && bar->value() >= bar->maximum() - bar->pageStep())
        ShowMore(kNextPart);
}

// Moving to the end, or selecting up to it, means the end of the whole text.
void TextBox::ShowAllAtCursor() {
    if (WhollyShown() || loading_)
        return;
    const int end = document()->characterCount() - 1;
    const QTextCursor cursor = textCursor();
    if (cursor.position() == end || cursor.anchor() == end)
        ShowAll();
}

void TextBox::SetMultiLine(bool multiLine) {
    multiLine_ = multiLine;
    setLineWrapMode(multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(multiLine ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

qsizetype TextBox::RoomLeft() const {
    if (maxLength_ <= 0)
        return std::numeric_limits<qsizetype>::max();
    return maxLength_ - Length() + textCursor().selectedText().size();
}

bool TextBox::Fits(qsizetype characters) {
    if (characters <= RoomLeft())
        return true;
    if (!limitMessage_.isEmpty())
        MessageBox::Show(limitMessage_);
    return false;
}

bool TextBox::Type(const QString& text) {
    if (!Fits(text.size()))
        return false;
    insertPlainText(text);
    return true;
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QList<uint> codePoints = typed.toUcs4();
    const bool character =
        enter || (codePoints.size() == 1 && QChar::isPrint(char32_t(codePoints.first())));
    if (!character || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (!enter)
        Type(capitals_ ? Capitals(typed) : typed);
    else if (multiLine_)
        Type(QStringLiteral("\n"));
    else
        emit enterPressed();
}

// A paste that does not fit is refused whole when the box says so, else cut to the room left.
void TextBox::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    QString text = source->text();
    if (!multiLine_) {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    }
    if (!limitMessage_.isEmpty() && !Fits(text.size()))
        return;
    text.truncate(std::max<qsizetype>(RoomLeft(), 0));
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    InsertInPieces(cursor, text, cursor.positionInBlock());
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

ListBox::ListBox(QWidget* parent) : QListView(parent), model_(new QStringListModel(this)) {
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int ListBox::count() const {
    return model_->rowCount();
}

QString ListBox::Item(int row) const {
    return model_->stringList().value(row);
}

QStringList ListBox::Items() const {
    return model_->stringList();
}

void ListBox::clear() {
    model_->setStringList({});
}

void ListBox::addItem(const QString& text) {
    addItems({text});
}

void ListBox::addItems(const QStringList& texts) {
    model_->setStringList(model_->stringList().isEmpty() ? texts : model_->stringList() + texts);
}

ImageBox::ImageBox(QWidget* parent) : QLabel(parent) {
    setScaledContents(true);
}
