#include "platform/Clock.h"

namespace Clock {

QDateTime Now() {
    return Source::Current().Now();
}

QDateTime Source::Now() {
    return QDateTime::currentDateTime();
}

} // namespace Clock
