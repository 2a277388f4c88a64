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
#include <string>
#include <vector>

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
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1)) arguments.push_back(argument.toLocal8Bit().toStdString());
    const orven::ui::WindowArguments taken = orven::ui::ParseWindowArguments(arguments);
    if (!taken.error.empty()) {
        std::cerr << orven::ui::kProgramName << ": " << taken.error << " (see " << orven::ui::kProgramName << " "
                  << orven::ui::kHelpOption << ")\n";
        return 2;
    }
    if (orven::ui::DemoRequested(QApplication::arguments()))
        orven::ui::AttachDemoRadio(orven::HidDeviceObject());
    if (QApplication::arguments().contains(QString::fromLatin1(orven::ui::kQuitAfterShowOption)))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    orven::ui::CCloneApp cloneApp;
    return cloneApp.Run(app, programName, taken.file);
}
