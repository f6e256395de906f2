#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class Session;
class StoreError;

// Which collection the program works on, and what the windows that choose it say: no widgets.
namespace CollectionChoice {

// "Pivanes — collection locale", or the server's database and host.
QString WindowTitle(const Session& session);

// What the user may do when the server chosen at start does not answer.
enum class StartChoice { Retry, Local, Quit };
struct StartButton {
    StartChoice choice;
    QString caption;
    const char* objectName;
};
// In the order the window shows them.
const std::vector<StartButton>& StartButtons();
// Why the server did not answer (the server's own reason included), and what each button does.
QString UnreachableText(const StoreError& failure);

// The server the program starts on once it answered; none when the user chose the local
// collection or to quit (quit set). ask is called each time the server does not answer.
struct Reached {
    std::optional<QString> server;
    bool quit = false;
};
Reached ReachServer(const QString& server,
                    const std::function<StartChoice(const StoreError&)>& ask);

// What « Tester » says of a connection: refused as the command line refuses it, libpq's reason
// when the server does not answer, else the database and its number of cards.
struct Probe {
    bool answered = false;
    QString text;
};
Probe ProbeServer(const QString& connection);

} // namespace CollectionChoice
