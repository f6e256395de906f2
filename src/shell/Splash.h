#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <array>

// The splash: version, notice, and a bar that the timer fills before the main window comes.
// Its objectName, which scripts and the guide know, is "Copyright".
class Splash : public Form {
    Q_OBJECT

public:
    Splash();

    QGroupBox* Frame1;
    ImageBox* imgLogo;
    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblCopyright;
    QLabel* lblCopyright2;
    std::array<QLabel*, 2> lblPlatform;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;

    int TickCount() const { return tickCount_; }

public slots:
    void Form_Load() override;
    void Timer1_Timer();

protected:
    // A click on the splash, or Enter, Escape or Space on either start-up window, hands over at
    // once.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HandOver();

    qint32 tickCount_ = 0;
};
