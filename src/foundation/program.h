#pragma once
#include <QString>

// The program's name as every window and message box titles it.
inline const QString ProgramTitle = QStringLiteral("Tavrel");
