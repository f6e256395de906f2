#pragma once

#include "platform/Replaceable.h"

#include <QString>

namespace FileDialog {

// Asks for the name of a file to write, offering `suggested`; the name is given `suffix` when
// typed without one. Empty when the user cancels.
QString SaveFileName(const QString& caption, const QString& suggested, const QString& filter,
                     const QString& suffix);

// Where the question goes: the desktop's file dialog, unless a test or a tool answers it.
class Chooser : public Replaceable<Chooser> {
public:
    virtual ~Chooser() = default;
    virtual QString SaveFileName(const QString& caption, const QString& suggested,
                                 const QString& filter, const QString& suffix);
};

} // namespace FileDialog
