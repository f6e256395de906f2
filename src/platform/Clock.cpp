#include "platform/Clock.h"

namespace {
std::function<QDateTime()>& TestClock() {
    static std::function<QDateTime()> clock;
    return clock;
}
} // namespace

namespace Clock {

QDateTime Now() {
    return TestClock() ? TestClock()() : QDateTime::currentDateTime();
}

void SetForTests(std::function<QDateTime()> now) {
    TestClock() = std::move(now);
}

} // namespace Clock
