// The desktop program: one main window over the settings of one radio. With --demo it talks to
// a simulated radio on USB.
#include "GlobalDef.h"
#include "link/CHidDevice.h"
#include "ui/CCloneApp.h"
#include "ui/CommandLine.h"
#include "ui/DemoMode.h"

#include <QApplication>
#include <QTimer>

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
    // --version and --help need no display, so they are answered before the toolkit looks for one.
    if (const auto code = orven::ui::AnswerOnTerminal(argc, argv, std::cout)) return *code;
    QApplication app(argc, argv);
    // The toolkit adopts the desktop's locale; reports, list lines and files need a point as the
    // decimal separator whatever the user's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromLatin1(orven::kProgramTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(orven::kVersionText));
    const std::string programName =
        orven::ui::ProgramNameOf(argc > 0 && argv[0] ? argv[0] : "orven-clone");
    if (orven::ui::DemoRequested(QApplication::arguments()))
        orven::ui::AttachDemoRadio(orven::HidDeviceObject());
    // For start-up measurements: the program ends as soon as its window has been shown.
    if (QApplication::arguments().contains(QStringLiteral("--quit-after-show")))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    orven::ui::CCloneApp cloneApp;
    return cloneApp.Run(app, programName);
}
