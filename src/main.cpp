#include <QApplication>

#include "gui/shell/program_start.h"

int main(int argc, char** argv) { return orvanta::RunProgram(argc, argv); }
