#include <QApplication>

#include "gui/shell/startup_gui.h"

int main(int argc, char** argv) { return orvanta::RunProgram(argc, argv); }
