#include "store/CategoryCatalogue.h"

namespace {

using enum CategoryGroup;

constexpr Category kCategories[] = {
    {"WIN", Top, "Windows", "Windows", "WINDOWS / ", "Windows", "Windows", "WINDOWS"},
    {"MAT", Top, "Materiel", "Materiel", "MATERIEL / ", "Materiel", "Materiel", "MATERIEL"},
    {"MUL", Top, "Multimedia", "Multimedia", "MULTIMEDIA / ", "Multimedia", "Multimedia",
     "MULTIMEDIA"},
    {"INT", Top, "Internet", "Internet", "INTERNET / ", "Internet", "Internet", "INTERNET"},
    {"DIVE", Office, "Dive", "Divers", "DIVERS / ", "Command5", "Divers", "DIVERS"},
    {"ACCE", Office, "Acce", "Access", "ACCESS / ", "Command6", "Access", "ACCESS"},
    {"EXCE", Office, "Exce", "Excel", "EXCEL / ", "Command7", "Excel", "EXCEL"},
    {"OFFI", Office, "Offi", "Office", "OFFICE / ", "Command8", "Office", "OFFICE"},
    {"OPEN", Office, "OpenO", "OpenOffice", "OPEN OFFICE / ", "Command9", "OpenOffice",
     "OPEN OFFICE"},
    {"OUTL", Office, "Outl", "Outlook", "OUTLOOK / ", "Command10", "Outlook", "OUTLOOK"},
    {"PAIN", Office, "Pain", "PainShop", "PAIN SHOP / ", "Command11", "PaintShop", "PAIN SHOP"},
    {"POWE", Office, "Powe", "PowerPoint", "POWER POINT / ", "Command12", "PowerPoint",
     "POWER POINT"},
    {"WORD", Office, "Wor", "Word", "WORD / ", "Command13", "Word", "WORD"},
};

std::span<const Category> current = kCategories;

} // namespace

namespace CategoryCatalogue {

std::span<const Category> All() {
    return current;
}

const Category* FindByCode(const QString& code) {
    for (const Category& category : current)
        if (code == QLatin1String(category.code))
            return &category;
    return nullptr;
}

std::vector<const Category*> InGroup(CategoryGroup group) {
    std::vector<const Category*> members;
    for (const Category& category : current)
        if (category.group == group)
            members.push_back(&category);
    return members;
}

void Replace(std::span<const Category> categories) {
    current = categories.empty() ? std::span<const Category>(kCategories) : categories;
}

} // namespace CategoryCatalogue
