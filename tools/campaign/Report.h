#pragma once

#include "Figures.h"

#include <QString>

struct ReportContext {
    QString command; // how this campaign was started
    quint64 seed = 0;
    bool sanitized = false;
    QString commit;
    double killSeconds = 0;
    double fileSeconds = 0;
    double twoProcessSeconds = 0;
    double returnSeconds = 0;
};

// The figures as a Markdown page.
QString ReliabilityReport(const Figures& figures, const ReportContext& context);
