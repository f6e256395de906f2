#pragma once

#include "platform/Controls.h"
#include "shell/Window.h"

// The full-size backdrop the program starts on.
// Its objectName, which scripts and the guide know, is "KorDepart".
class Backdrop : public Window {
    Q_OBJECT

public:
    explicit Backdrop(Session& session);

    void Form_Load() override;

private:
    ImageBox* Image1;
};
