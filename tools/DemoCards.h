#pragma once

#include <span>

// One tip of the built-in demonstration collection; all strings are static UTF-8.
struct DemoCard {
    const char* cate;    // category code
    const char* titre;   // title, UTF-8, capitals
    const char* pivanes; // text, UTF-8, lines separated by "\n"
};

std::span<const DemoCard> DemoCards();
