#pragma once

#include "platform/Replaceable.h"

// Ending the program: every window goes without further events, then the event loop ends.
namespace Application {

void End();

// Every window of the program goes, as Form::Unload does, with the windows it opened.
void CloseAllWindows();

// What ends the event loop: Qt's own, unless a test or a tool keeps its loop and takes note.
class EventLoop : public Replaceable<EventLoop> {
public:
    virtual ~EventLoop() = default;
    virtual void Quit();
};

} // namespace Application
