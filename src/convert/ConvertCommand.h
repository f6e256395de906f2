#pragma once

#include <QString>

class QTextStream;

// `pivanes --convertir FICHIER.mdb`: converts without a display, as at start. Answers the exit
// code: 0 once converted, 1 when the file was left as it was.
int RunConvertCommand(const QString& jetFile, QTextStream& out, QTextStream& err);
