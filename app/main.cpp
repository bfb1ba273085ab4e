// loadwatch: the window that shows which programs keep the computer busy.
#include <QApplication>
#include <clocale>
#include <string>
#include <vector>

#include "app/LoadwatchApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Dates sent to the knowledge base follow the user's locale; Qt has set
    // the locale from the environment, numbers stay in the C form.
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_TIME, "");
    QApplication::setApplicationName(QStringLiteral("loadwatch"));
    QApplication::setDesktopFileName(QStringLiteral("loadwatch"));
    // The window stays reachable through its tray icon while hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return CLoadwatchApp().InitInstance(arguments);
}
