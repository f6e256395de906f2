#pragma once

#include <QProgressDialog>
#include <QString>
#include <memory>

// The progress of a long copy, shown at once and in front of every window, without a way to
// stop it half-way: the copy is one transaction, or one file written beside and then renamed.
std::unique_ptr<QProgressDialog> CopyProgress(const char* objectName, const QString& text,
                                              int maximum);
