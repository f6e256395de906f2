#pragma once

#include <QString>
#include <QStringList>

// The file dialogs, with a test mode in which nothing is shown: the question is recorded and
// gets the answer that the test gave in advance, or is cancelled.
namespace FileDialog {

// Asks for the name of a file to write, offering `suggested`; the name is given `suffix` when
// typed without one. Empty when the user cancels.
QString SaveFileName(const QString& caption, const QString& suggested, const QString& filter,
                     const QString& suffix);

namespace Testing {
void Enable();
void SetNextAnswer(const QString& file); // used once; otherwise the dialog is cancelled
const QStringList& Asked();              // the captions of the dialogs shown
void Clear();
} // namespace Testing

} // namespace FileDialog
