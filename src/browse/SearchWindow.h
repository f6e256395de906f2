#pragma once

#include "browse/PagedCardGrid.h"
#include "platform/Controls.h"
#include "store/TextSearch.h"

#include <QCheckBox>
#include <QLabel>
#include <optional>

// The cards of the whole collection whose title holds a keyword, or, when asked, whose title or
// text holds its words, in pages; a click shows the card in the main window, with the words of a
// text search marked. One keyword per opening.
// Its objectName, which scripts and the guide know, is "KorRecherche".
class SearchWindow : public PagedCardGrid {
    Q_OBJECT

public:
    SearchWindow(Session& session, qint64 currentCard);

    void Form_Load() override;

signals:
    // After cardChosen, the words that a text search found in it.
    void wordsFound(const TextQuery& query);

protected:
    void OpenClickedCard(qint64 numero) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scaleChanged() override;

private:
    void askForKeyword();
    void search();
    void scaleTick();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3; // under the grid: that nothing was found
    TextBox* Text1;
    QCheckBox* Check1;
    std::optional<TextQuery> textQuery_; // what a text search looked for
};
