#pragma once
#include <string>
#include <vector>

// The program: chooses the Linux pieces once, runs the main dialog and ends
// when it closes. Needs a QApplication.
class CLoadwatchApp {
public:
    // Returns the program's exit code.
    int InitInstance(const std::vector<std::string>& arguments);
};
