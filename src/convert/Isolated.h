#pragma once

#include <QString>
#include <functional>

// Runs work in a child process, so that a library that crashes on a damaged file ends the child
// and not the program. The child reports progress as it goes; a failure it throws as a StoreError
// comes back thrown by Run with the same kind and text.
namespace Isolated {

using Report = std::function<void(qint64 a, qint64 b)>;

struct Result {
    qint64 number = 0;
    QString text;
};

// work may call report any number of times; the calls arrive in onReport in the parent. A child
// that dies throws a StoreError with crashMessage.
Result Run(const std::function<Result(const Report&)>& work, const Report& onReport,
           const QString& crashMessage);

} // namespace Isolated
