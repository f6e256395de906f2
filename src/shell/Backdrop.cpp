#include "shell/Backdrop.h"

#include "platform/Forms.h"
#include "shell/Pictures.h"
#include "shell/Splash.h"

Backdrop::Backdrop(Session& session) : Window("KorDepart", session) {
    setWindowTitle(QStringLiteral("Pivanes"));
    Image1 = AddControl<ImageBox>("Image1", nullptr);
    Image1->setPixmap(Pictures::Backdrop());
    Place(Image1, 0, 0, 12000, 9000);
}

void Backdrop::Form_Load() {
    scaleToScreen();
    Image1->setGeometry(0, 0, width(), height());
    show();
    Forms::Load<Splash>(session(), *this);
}
