#include "aids/frmSpChars.h"
#include "document/documentfile.h"
#include "foundation/twips.h"
#include "support/datarows.h"
#include "support/files.h"
#include "support/mainwindow.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct Fixture
{
    FakeServices fakes;
    CodeSense editor;
    // The owner stays hidden: the test platform has no stacking order, so a pointer over two
    // windows could reach either.
    QWidget owner;
    frmSpChars *window = ShowSpecialCharacters(&editor, &owner);
    QString pointAt(QWidget *widget, QPoint at)
    {
        QTest::mouseMove(widget, at);
        return window->StatusText();
    }
};

} // namespace

class SpecialCharactersTest : public QObject
{
    Q_OBJECT

private slots:
    // The codes run left to right on the first row and right to left on the rows below. Control
    // codes and the code page's undefined codes show their number; pointing at a cell names its code.
    void cells_data()
    {
        Columns<int, int, int, QString>({"code", "column", "row", "shown"});
        QTest::newRow("NUL") << 0 << 0 << 0 << "00";
        QTest::newRow("DEL") << 127 << 27 << 4 << "7F";
        QTest::newRow("euro") << 128 << 26 << 4 << "\u20AC";
        QTest::newRow("undefined 81") << 129 << 25 << 4 << "81";
        QTest::newRow("Y diaeresis") << 159 << 26 << 5 << "\u0178";
        QTest::newRow("soft hyphen") << 173 << 12 << 5 << "-";
        QTest::newRow("left end of row 7") << 247 << 0 << 7 << "\u00F7";
        QTest::newRow("last row") << 248 << 7 << 8 << "\u00F8";
    }
    void cells()
    {
        const auto [code, column, row] = Fetch<int, int, int>({"code", "column", "row"});
        Fixture f;
        // Columns and rows by rank: a layout opened up for a wider font keeps its grid.
        QSet<int> lefts, tops;
        for (const QLabel *cell : std::as_const(f.window->Label1)) {
            lefts << cell->x();
            tops << cell->y();
        }
        const auto rank = [](const QSet<int> &values, int value) {
            return std::count_if(values.begin(), values.end(), [value](int v) { return v < value; });
        };
        const QLabel *cell = f.window->Label1[code];
        QCOMPARE(rank(lefts, cell->x()), column);
        QCOMPARE(rank(tops, cell->y()), row);
        QTEST(cell->text(), "shown");
        QCOMPARE(f.pointAt(f.window, cell->geometry().center()), QStringLiteral("Character #: %1").arg(code));
    }

    // Every code has a place of its own in the fixed-size window, clear of the button, and
    // every cell but the blank and the no-break space shows something visible.
    void everyCellHasItsPlaceAndShowsSomething()
    {
        Fixture f;
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
        QSet<QPair<int, int>> places;
        for (const QLabel *cell : std::as_const(f.window->Label1)) {
            places.insert({cell->x(), cell->y()});
            QVERIFY(f.window->rect().contains(cell->geometry()));
            QVERIFY(!cell->geometry().intersects(f.window->Command1->geometry()));
            const QString text = cell->text();
            const bool shown = !text.isEmpty() && text.size() <= 2 && QFontMetrics(cell->font()).inFont(text[0]) &&
                               !text.contains(QRegularExpression(QStringLiteral("\\s|\\p{C}")));
            QVERIFY2(shown || text == " " || text == "\u00A0", qPrintable(text));
        }
        QCOMPARE(places.size(), frmSpChars::CharacterCount);
        // Between cells lies the window's own background, which names no code.
        QCOMPARE(f.pointAt(f.window, QPoint(Twips(60 + 210 + 45), Twips(60 + 127))), QString());
    }

    // Done and the close box unload the window; each opening, even before the closed window
    // is gone, loads a fresh one.
    void eachOpeningLoadsAfresh()
    {
        MainWindowFixture f(false);
        f.window.show();
        const auto open = [&] {
            f.click("mnuTools_spchar");
            QList<frmSpChars *> shown;
            for (frmSpChars *window : f.window.findChildren<frmSpChars *>())
                if (!window->isHidden())
                    shown << window;
            return shown;
        };
        QPointer<frmSpChars> first = open().value(0);
        QCOMPARE(open(), QList<frmSpChars *>{first.data()});
        QTest::mouseClick(first->Command1, Qt::LeftButton);
        QTRY_VERIFY(first.isNull());
        QPointer<frmSpChars> second = open().value(0);
        second->close();
        const QList<frmSpChars *> third = open();
        QVERIFY(third.size() == 1 && third[0] != second.data());
        QTRY_VERIFY(second.isNull());
        // A click puts a blank and the character at the end; control and undefined codes reach
        // the file as their own bytes.
        f.editor()->SetText(QStringLiteral("a"));
        f.editor()->SetCaretPos(0, 0);
        for (const int code : {66, 0, 13, 129})
            QTest::mouseClick(third[0]->Label1[code], Qt::LeftButton);
        QVERIFY(SaveFile(f.editor(), f.appDir.filePath(QStringLiteral("chars.cfg"))).ok());
        QCOMPARE(readAll(f.appDir.filePath(QStringLiteral("chars.cfg"))), QByteArray("a B \0 \r \x81", 9));
    }
};

QTEST_MAIN(SpecialCharactersTest)
#include "test_spchars.moc"
