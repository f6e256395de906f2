#include "platform/UserError.h"

#include <cstring>

QString WithReason(const QString& sentence, const QString& reason) {
    if (reason.isEmpty())
        return sentence;
    return sentence + QStringLiteral("\nRaison : ") + reason;
}

UserError::UserError(const QString& sentence, const QString& reason)
    : std::runtime_error(WithReason(sentence, reason).toStdString()), sentence_(sentence),
      reason_(reason) {}

QString UserError::text() const {
    return WithReason(sentence_, reason_);
}

QString UserError::SystemReason(int errorNumber) {
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}
