#include <QApplication>
#include <QCommandLineParser>

#include "app/fendral_app.h"
#include "library/connect.h"
#include "util/version_text.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelmar Vantrell"));
    QApplication::setApplicationVersion(QString::fromStdString(pelmar::fileVersionText(true)));
    QApplication::setDesktopFileName(QStringLiteral("pelmar-vantrell"));

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Copies the music, videos, playlists and photos of a player back to the "
                       "computer."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption player(
        QStringLiteral("player"),
        QStringLiteral("The player's folder, instead of searching the mounted volumes "
                       "(also $PELMAR_PLAYER)."),
        QStringLiteral("DIR"));
    options.addOption(player);
    options.process(application);

    pelmar::app::CFendralApp fendral;
    if (!fendral.initInstance(pelmar::explicitPlayerRoot(options.value(player).toStdString()))) {
        return 1;
    }
    return QApplication::exec();
}
