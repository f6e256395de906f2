#include "shell/Window.h"

#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "shell/FormZoomed.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

void Window::scaleToScreen() {
    scalePercent_ = FormZoomed::LoadProtocol(*this, [this](qint32 percent) {
        scalePercent_ = percent;
        scaleChanged();
    });
}

qint32 Window::scaled(double designTwips) const {
    return FormZoomed::Scaled(designTwips, scalePercent_);
}

bool Window::BeforeHandler() {
    if (!session_.CollectionRestoredElsewhere())
        return true;
    MessageBox::Show(QStringLiteral("La collection partagée a été restaurée depuis une "
                                    "sauvegarde par un autre programme : les fiches affichées "
                                    "n'existent peut-être plus. Pivanes la rouvre telle qu'elle "
                                    "est maintenant ; recommencez ce que vous faisiez."));
    Session& session = session_;
    session.CloseCollection();
    // This window goes too, once its handler has returned.
    Forms::UnloadAll();
    Forms::Load<MainWindow>(session);
    return false;
}
