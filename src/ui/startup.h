#pragma once
// The program's start: options, the single-instance guard, the main window
// and the message loop.
#include <optional>

class QApplication;

namespace zelk {

// Runs the program in an application object already made; returns the exit
// code. Options: --root DIR (simulator root), --data DIR (data files).
int RunZelk(QApplication& app);

// Answers --help and --version before the application object exists, so
// that they work without a display. The exit code when the program is to
// end at once; nullopt when the window is to start.
std::optional<int> AnswerWithoutWindow(int argc, char** argv);

}  // namespace zelk
