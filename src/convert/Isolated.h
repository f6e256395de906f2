#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>

// Runs work in a process of its own: the program started again on an option that names the
// work, so that a library that crashes or loops on a damaged file ends that process and not the
// program, and so that the child is a fresh program rather than a copy of one that runs threads.
// The child reports progress as it goes; a failure it throws as a StoreError comes back thrown by
// Run with the same kind and text.
namespace Isolated {

using Report = std::function<void(qint64 a, qint64 b)>;

struct Result {
    qint64 number = 0;
    QString text;
};

// What a child runs, from the arguments given to Run.
using Work = Result (*)(const QStringList& arguments, const Report& report);

// Offers work under a name to the children that the program starts; at namespace scope, once per
// name. Answers true.
bool Offer(const char* name, Work work);

// First thing in main: when the program was started again to run a work, runs it and answers
// the exit code; nothing otherwise.
std::optional<int> ServeIfAsked(int argc, char** argv);

struct Limits {
    std::chrono::milliseconds time;
    QString crashMessage; // the child died or said nothing
    QString timeMessage;  // the child was still working when the time ran out, and was ended
};

// Runs the named work in a child, whose reports arrive in onReport. Throws a StoreError with
// the limits' messages when the child dies or runs out of time.
Result Run(const char* name, const QStringList& arguments, const Report& onReport,
           const Limits& limits);

} // namespace Isolated
