#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

// The full-size backdrop the program starts on.
class KorDepart : public Form {
    Q_OBJECT

public:
    KorDepart();

    ImageBox* Image1;

public slots:
    void Form_Load() override;
};
