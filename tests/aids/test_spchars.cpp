#include "aids/frmSpChars.h"
#include "app/frmMain.h"
#include "foundation/twips.h"
#include "editor/codesense.h"
#include "support/fakeservices.h"

#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The middle of the grid place of a column and row, in the window's pixels.
QPoint gridPoint(int column, int row)
{
    return {Twips(60 + 300 * column + 105), Twips(60 + 360 * row + 127)};
}

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QList<frmSpChars *> openWindows(frmMain &main)
{
    QList<frmSpChars *> open;
    for (frmSpChars *window : main.findChildren<frmSpChars *>())
        if (!window->isHidden())
            open << window;
    return open;
}

} // namespace

class SpecialCharactersTest : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        FakeServices fakes;
        CodeSense editor;
        QWidget owner;
        frmSpChars *window = nullptr;
        // The owner stays hidden: the test platform has no stacking order, so a pointer
        // over two windows could reach either.
        Fixture()
        {
            window = ShowSpecialCharacters(&editor, &owner);
        }
        void click(int code) { QTest::mouseClick(window->Label1[code], Qt::LeftButton); }
        void point(QWidget *widget, QPoint at) { QTest::mouseMove(widget, at); }
        void point(QPoint at) { QTest::mouseMove(window, at); }
    };

private slots:
    void cellsRunSerpentineThroughTheGrid_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::newRow("0 top left") << 0 << 0 << 0;
        QTest::newRow("30 end of row 0") << 30 << 30 << 0;
        QTest::newRow("31 right end of row 1") << 31 << 30 << 1;
        QTest::newRow("61 left end of row 1") << 61 << 0 << 1;
        QTest::newRow("62 right end of row 2") << 62 << 30 << 2;
        QTest::newRow("247 left end of row 7") << 247 << 0 << 7;
        QTest::newRow("248 column 7 of row 8") << 248 << 7 << 8;
        QTest::newRow("255 bottom left") << 255 << 0 << 8;
    }
    void cellsRunSerpentineThroughTheGrid()
    {
        QFETCH(int, code);
        QFETCH(int, column);
        QFETCH(int, row);
        QCOMPARE(frmSpChars::CellLeftTwips(code), 60 + 300 * column);
        QCOMPARE(frmSpChars::CellTopTwips(code), 60 + 360 * row);

        Fixture f;
        const QRect expected(Twips(60 + 300 * column), Twips(60 + 360 * row), Twips(210), Twips(255));
        QCOMPARE(f.window->Label1[code]->geometry(), expected);
        // Pointing at that place of the window names the code.
        f.point(gridPoint(column, row));
        QCOMPARE(f.window->StatusText(), QStringLiteral("Character #: %1").arg(code));
    }

    void everyCodeHasItsOwnPlaceAndTheButtonFollowsRowEight()
    {
        Fixture f;
        QSet<QPair<int, int>> places;
        for (int code = 0; code < frmSpChars::CharacterCount; ++code) {
            const QPoint place(frmSpChars::CellLeftTwips(code), frmSpChars::CellTopTwips(code));
            QVERIFY2(place.x() >= 60 && place.x() <= 60 + 300 * 30, qPrintable(QString::number(code)));
            QVERIFY(!places.contains({place.x(), place.y()}));
            places.insert({place.x(), place.y()});
            QVERIFY(!f.window->Label1[code]->geometry().intersects(f.window->Command1->geometry()));
        }
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Special Characters "));
    }

    void cellsShowTheirCharacterAndCarryTheirTag_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::newRow("A") << 65 << QStringLiteral(" A") << QStringLiteral("A");
        QTest::newRow("NUL") << 0 << QString(u' ') + QChar(0) << QStringLiteral("00");
        QTest::newRow("tab") << 9 << QStringLiteral(" \t") << QStringLiteral("09");
        QTest::newRow("DEL") << 127 << QStringLiteral(" \x7F") << QStringLiteral("7F");
        QTest::newRow("euro") << 128 << QStringLiteral(" \u20AC") << QStringLiteral("\u20AC");
        QTest::newRow("undefined 81") << 129 << QStringLiteral(" \u0081") << QStringLiteral("81");
        QTest::newRow("low quote") << 130 << QStringLiteral(" \u201A") << QStringLiteral("\u201A");
        QTest::newRow("f hook") << 131 << QStringLiteral(" \u0192") << QStringLiteral("\u0192");
        QTest::newRow("undefined 9D") << 157 << QStringLiteral(" \u009D") << QStringLiteral("9D");
        QTest::newRow("Y diaeresis") << 159 << QStringLiteral(" \u0178") << QStringLiteral("\u0178");
        QTest::newRow("soft hyphen") << 173 << QStringLiteral(" \u00AD") << QStringLiteral("-");
        QTest::newRow("y diaeresis") << 255 << QStringLiteral(" \u00FF") << QStringLiteral("\u00FF");
    }
    void cellsShowTheirCharacterAndCarryTheirTag()
    {
        QFETCH(int, code);
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        Fixture f;
        QCOMPARE(frmSpChars::Caption(code), caption);
        QCOMPARE(f.window->Label1[code]->text(), shown);
        QCOMPARE(f.window->Label1[code]->property("Tag").toString(), QStringLiteral("Character #: %1").arg(code));
    }

    // Only the blank and the no-break space may look empty.
    void everyOtherCellShowsSomethingVisible()
    {
        Fixture f;
        for (int code = 0; code < frmSpChars::CharacterCount; ++code) {
            if (code == 0x20 || code == 0xA0)
                continue;
            const QString text = f.window->Label1[code]->text();
            const QFontMetrics metrics(f.window->Label1[code]->font());
            bool visible = !text.isEmpty();
            for (QChar c : text)
                visible = visible && c.isPrint() && !c.isSpace() && metrics.inFont(c);
            QVERIFY2(visible, qPrintable(QStringLiteral("code %1 shows \"%2\"").arg(code).arg(text)));
        }
    }

    void statusBarFollowsThePointer()
    {
        Fixture f;
        f.point(f.window->Label1[200], f.window->Label1[200]->rect().center());
        QCOMPARE(f.window->StatusText(), QStringLiteral("Character #: 200"));
        f.point(f.window->Command1, f.window->Command1->rect().center());
        QCOMPARE(f.window->StatusText(), QStringLiteral("Close the window"));
        f.point(f.window->Label1[65], f.window->Label1[65]->rect().center());
        QCOMPARE(f.window->StatusText(), QStringLiteral("Character #: 65"));
        // Between two cells lies the window's own background.
        f.point(QPoint(Twips(60 + 210 + 45), Twips(60 + 127)));
        QCOMPARE(f.window->StatusText(), QString());
        // The bottom row's empty places beside the button are background too.
        f.point(f.window->Label1[5], f.window->Label1[5]->rect().center());
        f.point(QPoint(Twips(2460 - 30), Twips(2940 + 150)));
        QCOMPARE(f.window->StatusText(), QString());
    }

    void clickAppendsBlankAndCharacterAtTheEnd()
    {
        Fixture f;
        f.editor.SetText(QStringLiteral("abc"));
        f.editor.SetSel({0, 0, 0, 1}, true);
        QSignalSpy changes(&f.editor, &CodeSense::Change);
        f.click(65);
        QCOMPARE(f.editor.Text(), QStringLiteral("abc A"));
        QCOMPARE(changes.count(), 1);
        f.editor.Undo();
        QCOMPARE(f.editor.Text(), QStringLiteral("abc"));
        QVERIFY(f.window->isVisible());
    }

    void controlAndUndefinedCodesReachTheFileUnchanged()
    {
        Fixture f;
        for (int code : {0, 9, 10, 13, 128, 129})
            f.click(code);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("chars.cfg"));
        QVERIFY(f.editor.SaveFile(path, false).ok());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray(" \0 \t \n \r \x80 \x81", 12));
    }

    void doneAndCloseBoxUnloadAndEachOpeningLoadsAfresh()
    {
        FakeServices fakes;
        frmMain main;
        main.show();
        main.mnuTools_spchar_Click();
        QPointer<frmSpChars> first = main.findChild<frmSpChars *>(QStringLiteral("frmSpChars"));
        QVERIFY(first && first->isVisible());
        main.mnuTools_spchar_Click();
        QCOMPARE(openWindows(main), QList<frmSpChars *>{first.data()});

        QTest::mouseClick(first->Command1, Qt::LeftButton);
        QVERIFY(first.isNull() || first->isHidden());
        processDeferredDeletes();
        QVERIFY(first.isNull());

        main.mnuTools_spchar_Click();
        QPointer<frmSpChars> second = openWindows(main).value(0);
        QVERIFY(second);
        QCOMPARE(second->Label1[255]->geometry().topLeft(), QPoint(Twips(60), Twips(60 + 360 * 8)));
        QCOMPARE(second->Label1[128]->text(), QStringLiteral("\u20AC"));
        QCOMPARE(second->StatusText(), QString());

        // Reopened before the closed window is gone: a fresh one all the same.
        second->close();
        main.mnuTools_spchar_Click();
        const QList<frmSpChars *> open = openWindows(main);
        QCOMPARE(open.size(), 1);
        QVERIFY(open[0] != second.data());
        processDeferredDeletes();
        QVERIFY(second.isNull());
        QCOMPARE(main.findChildren<frmSpChars *>().size(), 1);

        QTest::mouseClick(open[0]->Label1[66], Qt::LeftButton);
        QCOMPARE(main.CodeSense1->Text(), QStringLiteral(" B"));
    }
};

QTEST_MAIN(SpecialCharactersTest)
#include "test_spchars.moc"
