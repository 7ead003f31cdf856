// ORVAK ZELK: the mission generator's window program.
#include <QApplication>

#include "ui/startup.h"

int main(int argc, char** argv) {
    if (const auto code = zelk::AnswerWithoutWindow(argc, argv)) return *code;
    QApplication app(argc, argv);
    return zelk::RunZelk(app);
}
