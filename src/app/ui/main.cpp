// tarnwick: the desktop converter. Takes no arguments.
#include "app/ui/application.h"

int main(int argc, char** argv) { return tarnwick::ui::RunProgram(argc, argv); }
