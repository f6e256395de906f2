#pragma once

#include <QDateTime>
#include <functional>

// Today's date and the time of day; tests set their own clock.
namespace Clock {

QDateTime Now();
void SetForTests(std::function<QDateTime()> now); // an empty function restores the real clock

} // namespace Clock
