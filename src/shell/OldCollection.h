#pragma once

#include <QString>

class Worker;

// A collection of the old program (a Jet file) met at start: the user is asked whether to convert
// it, and sees the conversion progress when it is long. Answers true once fileName is a card
// database; false leaves the file as it was, after saying why when something failed.
bool OfferConversion(const QString& fileName, Worker& worker);
