#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// What the benchmark programs share: medians, memory, the machine's load, child processes.
namespace Measuring {

// How long the work took, in milliseconds.
double TimedMs(const std::function<void()>& work);
// The median of the times; -1 for none.
double Median(std::vector<double> times);
// The peak resident memory of this process, in KiB; -1 when the system does not tell.
qint64 PeakResidentKb();
// The machine's load, as the system averages it over the last minute, five and fifteen.
QString LoadAverage();
// What a child process of this program printed, run without a display; throws when it failed.
QString ChildOutput(const QString& program, const QStringList& arguments);

} // namespace Measuring
