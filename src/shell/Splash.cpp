#include "shell/Splash.h"

#include "platform/Application.h"
#include "platform/Look.h"
#include "shell/Pictures.h"
#include "shell/Program.h"
#include "shell/Version.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

Splash::Splash(Session& session, Form& backdrop)
    : Window("Copyright", session), backdrop_(&backdrop) {
    setWindowTitle(QStringLiteral("Pivanes"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    SetBackground(Client(), Colors::LightBlue);

    Frame1 = AddControl<QGroupBox>("Frame1", nullptr);
    Place(Frame1, 120, 60, 8655, 3900);
    imgLogo = AddControl<ImageBox>("imgLogo", Frame1);
    imgLogo->setPixmap(Pictures::Logo());
    Place(imgLogo, 240, 360, 2100, 2100);
    lblProductName = AddControl<QLabel>("lblProductName", Frame1, QStringLiteral("PIVANES"));
    lblProductName->setFont(Face("Comic Sans MS", 27.75, true));
    SetColors(lblProductName, Colors::Yellow, Colors::LightBlue);
    Place(lblProductName, 2700, 300, 5700, 780);
    lblVersion = AddControl<QLabel>("lblVersion", Frame1, QStringLiteral("Version"));
    lblVersion->setFont(Face("Arial", 12, true));
    Place(lblVersion, 2700, 1140, 5700, 390);
    lblCopyright = AddControl<QLabel>("lblCopyright", Frame1, QStringLiteral("Copyright"));
    lblCopyright->setFont(Face("Arial", 9.75));
    Place(lblCopyright, 2700, 1680, 5700, 360);
    lblCopyright2 = AddControl<QLabel>("lblCopyright2", Frame1, QStringLiteral("Commentaires"));
    lblCopyright2->setFont(Face("Arial", 9.75));
    lblCopyright2->setWordWrap(true);
    Place(lblCopyright2, 2700, 2100, 5700, 600);
    lblPlatform[0] = AddControl<QLabel>("lblPlatform", Frame1,
                                        QStringLiteral("Patienrez, Chargement des paramettres"));
    lblPlatform[0]->setFont(Face("Comic Sans MS", 9.75, true));
    SetColors(lblPlatform[0], Colors::Navy, Colors::LightBlue);
    Place(lblPlatform[0], 2700, 3000, 5700, 420);
    lblPlatform[1] = AddControl<QLabel>("lblPlatform", nullptr, QString());
    Place(lblPlatform[1], 120, 4500, 8655, 300);
    for (int index = 0; index < 2; ++index)
        lblPlatform[std::size_t(index)]->setProperty("Index", index);

    ProgressBar1 = AddControl<QProgressBar>("ProgressBar1", nullptr);
    ProgressBar1->setTextVisible(false);
    Place(ProgressBar1, 120, 4080, 8655, 330);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(150);
    connect(Timer1, &QTimer::timeout, this, Guarded(&Splash::tick));

    setFixedSize(8895 / 15, 4920 / 15);
}

void Splash::Form_Load() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    raise();
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(Version::kMajor)
                            .arg(Version::kMinor)
                            .arg(Version::kRevision));
    lblCopyright->setText(QString::fromUtf8(Version::kLegalCopyright));
    lblCopyright2->setText(QString::fromUtf8(Version::kComments));
    tickCount_ = 0;
    ProgressBar1->setMaximum(100);
    ProgressBar1->setValue(0);
    Timer1->start();
    installEventFilter(this);
    if (backdrop_)
        backdrop_->installEventFilter(this);
}

bool Splash::eventFilter(QObject* watched, QEvent* event) {
    bool skip = event->type() == QEvent::MouseButtonPress && watched == this;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        skip = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
               key == Qt::Key_Space;
    }
    if (!skip || !Timer1->isActive())
        return Form::eventFilter(watched, event);
    RunGuarded([this] { HandOver(); });
    return true;
}

void Splash::tick() {
    ++tickCount_;
    if (tickCount_ == 101)
        HandOver();
    if (tickCount_ < 101)
        ProgressBar1->setValue(tickCount_);
}

void Splash::HandOver() {
    Timer1->stop();
    // Whatever the main window's start did, the splash goes: its failure was already reported.
    bool opened = false;
    RunGuarded([this, &opened] {
        OpenMainWindow(session());
        opened = true;
    });
    if (backdrop_)
        backdrop_->Unload();
    Unload();
    if (!opened)
        Application::End();
}
