#pragma once
// The program's start: options, the single-instance guard, the main window
// and the message loop.
class QApplication;

namespace zelk {

// Runs the program in an application object already made; returns the exit
// code. Options: --root DIR (simulator root), --data DIR (data files).
int RunZelk(QApplication& app);

}  // namespace zelk
