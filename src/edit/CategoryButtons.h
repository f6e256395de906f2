#pragma once

#include "platform/Guard.h"

#include <QObject>
#include <QPushButton>
#include <QString>
#include <functional>
#include <span>
#include <vector>

struct Category;

// Where a form puts its column of category buttons, in twips. Each office button takes the
// place of a top-level one, since the two sets are never shown together. The tops are those of
// the form's design; a category past them goes one more step down, so a longer catalogue still
// gets a button of its own.
struct CategoryButtonPlaces {
    int left;
    int officeSwitchTop;               // "Bureautique"
    std::span<const int> topLevelTops; // the top-level categories, in catalogue order
    std::span<const int> officeTops;   // the office categories, in catalogue order
};

// The top of the button at index of a column whose design gives tops (at least two).
int ButtonTop(std::span<const int> tops, std::size_t index);

// The "Bureautique" button and one button per category of the catalogue, shared by the
// new-card form and the card picker. The form makes each button (so that it is one of its
// controls) and hears which one was pressed.
class CategoryButtons : public QObject {
    Q_OBJECT

public:
    // Makes an empty button named name among the form's controls.
    using MakeButton = std::function<QPushButton*(const char* name)>;

    CategoryButtons(const MakeButton& make, const CategoryButtonPlaces& places, QObject* parent);

    // The buttons of a card form, whose choices go to its handlers through the error guard.
    template <class CardForm>
    static CategoryButtons* For(CardForm* form, void (CardForm::*officeChosen)(),
                                void (CardForm::*categoryChosen)(const QString& code,
                                                                 const QString& label),
                                const MakeButton& make, const CategoryButtonPlaces& places) {
        auto* buttons = new CategoryButtons(make, places, form);
        connect(buttons, &CategoryButtons::OfficeGroupChosen, form,
                [form, officeChosen] { RunGuarded([&] { (form->*officeChosen)(); }); });
        connect(buttons, &CategoryButtons::CategoryChosen, form,
                [form, categoryChosen](const QString& code, const QString& label) {
                    RunGuarded([&] { (form->*categoryChosen)(code, label); });
                });
        return buttons;
    }

    // The button of a category code; null for a code that is not in the catalogue.
    QPushButton* Button(const QString& code) const;

    // "Bureautique" and the top-level categories; the office ones hidden.
    void ShowTopLevel();
    // The office categories; "Bureautique" and the top-level ones hidden.
    void ShowOffice();
    void HideAll();

signals:
    void OfficeGroupChosen();
    void CategoryChosen(const QString& code, const QString& label);

private:
    struct Entry {
        const Category* category;
        QPushButton* button;
    };
    void ShowGroup(bool office);

    QPushButton* officeSwitch_;
    std::vector<Entry> entries_;
};

// Every command button of the card forms: 1725 x 315 twips, Arial bold 9.75 points.
void PlaceCommandButton(QPushButton* button, int left, int top);
