#include "platform/Application.h"

#include "platform/Forms.h"

#include <QCoreApplication>

namespace {
struct State {
    bool testing = false;
    bool endRequested = false;
};
State& TheState() {
    static State state;
    return state;
}
} // namespace

namespace Application {

void End() {
    Forms::UnloadAll();
    TheState().endRequested = true;
    if (!TheState().testing)
        QCoreApplication::exit(0);
}

namespace Testing {
void Enable() {
    TheState().testing = true;
}
bool EndRequested() {
    return TheState().endRequested;
}
void Clear() {
    TheState().endRequested = false;
}
} // namespace Testing

} // namespace Application
