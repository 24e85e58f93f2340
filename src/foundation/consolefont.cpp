#include "foundation/consolefont.h"

#include <QFontDatabase>

QFont ConsoleFont(double pointSize)
{
    // Looked up once for the editor and the splash.
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Lucida Console"))
                                      ? QStringLiteral("Lucida Console")
                                      : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    QFont font(family);
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}
