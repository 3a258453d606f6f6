#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "app/fendral_app.h"
#include "library/connect.h"
#include "util/version_text.h"

int main(int argc, char* argv[]) {
    QApplication::setApplicationName(QStringLiteral("Pelmar Vantrell"));
    QApplication::setApplicationVersion(QString::fromStdString(pelmar::fileVersionText(true)));
    QApplication::setDesktopFileName(QStringLiteral("org.pelmar.Vantrell"));

    // The options are read before the window system is opened, so that --help and --version
    // answer without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(QString::fromLocal8Bit(argv[i]));
    }
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Copies the music, videos, playlists and photos of a player back to the "
                       "computer."));
    const QCommandLineOption help = options.addHelpOption();
    const QCommandLineOption version = options.addVersionOption();
    const QCommandLineOption player(
        QStringLiteral("player"),
        QStringLiteral("The player's folder, instead of searching the mounted volumes "
                       "(also $PELMAR_PLAYER)."),
        QStringLiteral("DIR"));
    options.addOption(player);
    if (!options.parse(arguments)) {
        std::fprintf(stderr, "pelmar-vantrell: %s\n", qPrintable(options.errorText()));
        return 2;
    }
    if (options.isSet(help)) {
        // Without an application object yet, the help text cannot know the program's name.
        QString text = options.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("pelmar-vantrell"));
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (options.isSet(version)) {
        options.showVersion();
    }

    QApplication application(argc, argv);
    pelmar::app::CFendralApp fendral;
    if (!fendral.initInstance(pelmar::explicitPlayerRoot(options.value(player).toStdString()))) {
        return 1;
    }
    return QApplication::exec();
}
