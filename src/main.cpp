#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "about/frmAbout.h"
#include "platform/ui/SingleInstance.h"
#include "shell/FeatureHooks.h"
#include "shell/MainModule.h"
#include "shell/frmSplash.h"

namespace {

// The features reach each other through the shell's hook table; each entry is filled
// once its feature is built.
void installFeatureHooks() {
    shell::FeatureHooks& hooks = shell::featureHooks();
    hooks.about = [] { frmAbout::showModal(); };
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KENVORA"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KENVORA_VERSION));

    // Qt's own dialogs (buttons of message boxes, the file dialog) in Japanese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    installFeatureHooks();
    ui::SingleInstanceGuard instanceGuard;
    shell::mainModule().applicationPath = QCoreApplication::applicationDirPath();
    shell::frmSplash splash(instanceGuard);
    switch (splash.Form_Load()) {
        case shell::StartUpOutcome::Running: return app.exec();
        case shell::StartUpOutcome::AlreadyRunning: return 0;
        default: return 1;
    }
}
