#pragma once

#include <QString>
#include <span>
#include <vector>

// The thirteen fixed categories: what the main window's menus, the card forms' buttons and the
// stored code of every card are built from.
enum class CategoryGroup { Top, Office };

struct Category {
    const char* code;     // stored in Cate
    CategoryGroup group;  // top-level menu, or the office menu
    const char* menuItem; // main window's menu item
    const char* menuCaption;
    const char* labelPrefix; // before the count in the main window's label
    const char* buttonName;  // card forms' button
    const char* buttonCaption;
    const char* buttonLabel; // card forms' label once the button is pressed
};

namespace CategoryCatalogue {

std::span<const Category> All();
const Category* FindByCode(const QString& code);
// The categories of one group, in catalogue order.
std::vector<const Category*> InGroup(CategoryGroup group);

// The entries without a code.
inline constexpr const char* kOfficeItem = "Bureautique";
inline constexpr const char* kOfficeLabel = "BUREAUTIQUE";
inline constexpr const char* kGeneralItem = "General";
inline constexpr const char* kGeneralCaption = "GENERALE";
inline constexpr const char* kGeneralPrefix = "GENERALE / ";

// Every reader takes the catalogue from here, so that a test can try a longer one on the windows;
// an empty one puts the program's own back. The categories are not copied.
void Replace(std::span<const Category> categories);

} // namespace CategoryCatalogue
