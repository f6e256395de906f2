#pragma once

// Numero is the row id: numbers survive compaction, and the order of addition is the order of
// ascending number. The index on Cate keeps a category query from reading the whole table.
inline constexpr const char* kCardTableSchema =
    "CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate TEXT, Titre TEXT, Pivanes TEXT);";
inline constexpr const char* kCategoryIndexSchema =
    "CREATE INDEX IF NOT EXISTS TrucPivane_Cate ON TrucPivane (Cate);";
