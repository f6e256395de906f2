#pragma once

#include "store/Collection.h"

#include <QString>
#include <QTextStream>
#include <functional>

// A command that reads a server collection (--chercher, --exporter), given the place it reads.
using ReadingCommand = std::function<int(const CollectionPlace& place)>;

// Runs the command on the server when it answers, then brings the data folder's copy of the
// server up to date (sending the changes that wait there first, and saying on err what became of
// them); on that copy when the server does not answer, saying so on err. Answers the command's
// exit code; 1 when there is neither server nor copy.
int RunReadingServer(const QString& server, const QString& dataFolder,
                     const ReadingCommand& command, QTextStream& err);
