#pragma once

#include <QString>
#include <span>

// One tip of the built-in demonstration collection; all strings are static UTF-8.
struct DemoCard {
    const char* cate;    // category code
    const char* titre;   // title, UTF-8, capitals
    const char* pivanes; // text, UTF-8, lines separated by "\n"
};

std::span<const DemoCard> DemoCards();

// Writes the demo tips into a new collection file, numbered from 1, their lines ended by CR LF as
// the program stores them.
void WriteDemoCollection(const QString& fileName);
