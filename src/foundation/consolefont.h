#pragma once
#include <QFont>

// Lucida Console when the system has it, else the system's fixed-pitch font; regular
// weight, upright.
QFont ConsoleFont(double pointSize);
