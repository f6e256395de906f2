#include "edit/CategoryButtons.h"

#include "platform/Form.h"
#include "platform/Look.h"
#include "store/CategoryCatalogue.h"

void PlaceCommandButton(QPushButton* button, int left, int top) {
    button->setFont(Face("Arial", 9.75, true));
    Place(button, left, top, 1725, 315);
}

int ButtonTop(std::span<const int> tops, std::size_t index) {
    if (index < tops.size())
        return tops[index];
    const int last = tops.back();
    const int step = last - tops[tops.size() - 2];
    return last + step * static_cast<int>(index - tops.size() + 1);
}

CategoryButtons::CategoryButtons(const MakeButton& make, const CategoryButtonPlaces& places,
                                 QObject* parent)
    : QObject(parent), officeSwitch_(make(CategoryCatalogue::kOfficeItem)) {
    officeSwitch_->setText(QString::fromLatin1(CategoryCatalogue::kOfficeItem));
    PlaceCommandButton(officeSwitch_, places.left, places.officeSwitchTop);
    connect(officeSwitch_, &QPushButton::clicked, this, &CategoryButtons::OfficeGroupChosen);

    std::size_t topIndex = 0;
    std::size_t officeIndex = 0;
    for (const Category& category : CategoryCatalogue::All()) {
        const bool office = category.group == CategoryGroup::Office;
        const int top = office ? ButtonTop(places.officeTops, officeIndex++)
                               : ButtonTop(places.topLevelTops, topIndex++);
        QPushButton* button = make(category.buttonName);
        button->setText(QString::fromLatin1(category.buttonCaption));
        PlaceCommandButton(button, places.left, top);
        const QString code = QString::fromLatin1(category.code);
        const QString label = QString::fromLatin1(category.buttonLabel);
        connect(button, &QPushButton::clicked, this,
                [this, code, label] { emit CategoryChosen(code, label); });
        entries_.push_back({&category, button});
    }
}

QPushButton* CategoryButtons::Button(const QString& code) const {
    for (const Entry& entry : entries_)
        if (code == QLatin1String(entry.category->code))
            return entry.button;
    return nullptr;
}

void CategoryButtons::ShowGroup(bool office) {
    officeSwitch_->setVisible(!office);
    for (const Entry& entry : entries_)
        entry.button->setVisible((entry.category->group == CategoryGroup::Office) == office);
}

void CategoryButtons::ShowTopLevel() {
    ShowGroup(false);
}

void CategoryButtons::ShowOffice() {
    ShowGroup(true);
}

void CategoryButtons::HideAll() {
    officeSwitch_->hide();
    for (const Entry& entry : entries_)
        entry.button->hide();
}
