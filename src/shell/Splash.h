#pragma once

#include "platform/Controls.h"
#include "shell/Window.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <array>

// The splash: version, notice, and a bar that the timer fills before the main window comes.
// Its objectName, which scripts and the guide know, is "Copyright".
class Splash : public Window {
    Q_OBJECT

public:
    // Shown over the backdrop, which goes with it.
    Splash(Session& session, Form& backdrop);

    void Form_Load() override;
    // One step of the bar, as the timer takes it.
    void tick();

protected:
    // A click on the splash, or Enter, Escape or Space on either start-up window, hands over at
    // once.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HandOver();

    QPointer<Form> backdrop_;

    QGroupBox* Frame1;
    ImageBox* imgLogo;
    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblCopyright;
    QLabel* lblCopyright2;
    std::array<QLabel*, 2> lblPlatform;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;

    qint32 tickCount_ = 0;
};
