#include "shell/Backdrop.h"

#include "platform/Forms.h"
#include "shell/FormZoomed.h"
#include "shell/Pictures.h"
#include "shell/Splash.h"

Backdrop::Backdrop() : Form("KorDepart") {
    setWindowTitle(QStringLiteral("Pivanes"));
    Image1 = AddControl<ImageBox>("Image1", nullptr);
    Image1->setPixmap(Pictures::Backdrop());
    Place(Image1, 0, 0, 12000, 9000);
}

void Backdrop::Form_Load() {
    FormZoomed::LoadProtocol(*this);
    Image1->setGeometry(0, 0, width(), height());
    show();
    Forms::Load<Splash>();
}
