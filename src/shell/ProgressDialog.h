#pragma once

#include <QProgressDialog>
#include <QString>

class Worker;

// The progress of a long task on the worker, shown at once and in front of every window, without
// a way to stop it half-way: the copy is one transaction, or one file written beside and then
// renamed. It follows the task's progress and goes once the task has ended.
QProgressDialog* ShowTaskProgress(const char* objectName, const QString& text, int maximum,
                                  Worker& worker);
