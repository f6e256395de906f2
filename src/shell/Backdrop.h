#pragma once

#include "platform/Controls.h"
#include "shell/Window.h"

#include <QPointer>

// The full-size backdrop the program starts on.
// Its objectName, which scripts and the guide know, is "KorDepart".
class Backdrop : public Window {
    Q_OBJECT

public:
    explicit Backdrop(Session& session);

    void Form_Load() override;
    // The splash that the load opened over the backdrop, while it is open.
    QWidget* splash() const { return splash_; }

private:
    ImageBox* Image1;
    QPointer<QWidget> splash_;
};
