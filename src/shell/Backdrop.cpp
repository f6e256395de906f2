#include "shell/Backdrop.h"

#include "shell/Pictures.h"
#include "shell/Splash.h"

Backdrop::Backdrop(Session& session) : Window("KorDepart", session) {
    setWindowTitle(QStringLiteral("Pivanes"));
    Image1 = AddControl<ImageBox>("Image1", nullptr);
    Image1->setPixmap(Pictures::Backdrop());
    Design()->fill(Image1);
}

void Backdrop::Form_Load() {
    scaleToScreen();
    show();
    splash_ = &Open<Splash>(*this);
}
