#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

// The full-size backdrop the program starts on.
// Its objectName, which scripts and the guide know, is "KorDepart".
class Backdrop : public Form {
    Q_OBJECT

public:
    Backdrop();

    ImageBox* Image1;

public slots:
    void Form_Load() override;
};
