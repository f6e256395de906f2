#include "platform/Display.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace {

QStringList& HeldMessages() {
    static QStringList messages;
    return messages;
}

// Qt explains a missing screen in several English messages, the last one fatal: the user gets
// the one French sentence instead.
void HoldMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    HeldMessages() << text;
    if (type != QtFatalMsg)
        return;
    std::fputs("Pivanes ne peut pas s'ouvrir : aucun écran graphique n'est disponible (DISPLAY ou "
               "WAYLAND_DISPLAY vide, ou serveur graphique injoignable). Lancez-le depuis un "
               "bureau, ou sous un écran virtuel : xvfb-run pivanes.\n",
               stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

std::unique_ptr<PivanesApplication> MakeApplication() {
    // Qt reads only the program's name: the command line is the program's own.
    static int argc = 1;
    static char name[] = "pivanes";
    static char* argv[] = {name, nullptr};
    const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
    auto application = std::make_unique<PivanesApplication>(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString& message : HeldMessages())
        std::fprintf(stderr, "%s\n", qPrintable(message));
    HeldMessages().clear();
    return application;
}

bool HasVisibleScreen() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}
