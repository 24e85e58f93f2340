#include "document/documentstate.h"

#include <QtTest>

class DocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void titleFollowsTextChanges_data()
    {
        QTest::addColumn<QString>("fileTitle");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("fileTitleAfter");
        QTest::newRow("fresh editor") << QString() << false << "Tavrel - Untitled.cfg*" << "Untitled.cfg";
        QTest::newRow("after new") << "Untitled.cfg" << false << "Tavrel - Untitled.cfg*" << "Untitled.cfg";
        QTest::newRow("file") << "autoexec.cfg" << false << "Tavrel - autoexec.cfg*" << "autoexec.cfg";
        QTest::newRow("spaces kept") << "my binds.cfg" << false << "Tavrel - my binds.cfg*" << "my binds.cfg";
        QTest::newRow("emptied file") << "autoexec.cfg" << true << "Tavrel - Untitled.cfg" << "autoexec.cfg";
        QTest::newRow("emptied untitled") << QString() << true << "Tavrel - Untitled.cfg" << "Untitled.cfg";
    }
    void titleFollowsTextChanges()
    {
        QFETCH(QString, fileTitle);
        QFETCH(bool, empty);
        DocumentState doc;
        doc.FileTitle = fileTitle;
        doc.TextChanged(empty);
        QVERIFY(doc.Modified);
        QTEST(doc.Caption, "caption");
        QTEST(doc.FileTitle, "fileTitleAfter");
        QCOMPARE(doc.TitleShowsChanges(), !empty);
    }

    void openKeepsModifiedSaveClearsIt()
    {
        DocumentState doc;
        doc.TextChanged(false);
        doc.Opened(QStringLiteral("/tmp/a b/bind menu.cfg"));
        QCOMPARE(doc.Caption, QStringLiteral("Tavrel - bind menu.cfg"));
        QCOMPARE(doc.FilePath, QStringLiteral("/tmp/a b/bind menu.cfg"));
        QVERIFY(doc.Modified);
        QVERIFY(!doc.TitleShowsChanges());
        doc.Saved(doc.FilePath);
        QVERIFY(!doc.Modified);
    }

    void newResetsEverythingButQuitAfterSave()
    {
        DocumentState doc;
        doc.Opened(QStringLiteral("/x/y.cfg"));
        doc.TextChanged(false);
        doc.QuitAfterSave = true;
        doc.NewDocument();
        QCOMPARE(doc.Caption, QStringLiteral("Tavrel - Untitled.cfg"));
        QCOMPARE(doc.FileTitle, QStringLiteral("Untitled.cfg"));
        QVERIFY(doc.FilePath.isEmpty());
        QVERIFY(!doc.Modified);
        QVERIFY(!doc.HasFile());
        QVERIFY(doc.QuitAfterSave);
    }

    void editorSizeArithmetic_data()
    {
        QTest::addColumn<float>("outerWidth");
        QTest::addColumn<float>("outerHeight");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("worked example") << 9000.f << 7000.f << 8900.f << 6320.f;
        QTest::newRow("start size") << 10290.f << 8235.f << 10190.f << 7555.f;
        QTest::newRow("minimized") << 0.f << 0.f << -100.f << -680.f;
    }
    void editorSizeArithmetic()
    {
        QFETCH(float, outerWidth);
        QFETCH(float, outerHeight);
        const EditorSize size = EditorSizeForWindow(outerWidth, outerHeight);
        QTEST(size.width, "width");
        QTEST(size.height, "height");
    }

    void fileFilter()
    {
        QCOMPARE(QtFileFilter(QStringLiteral("Configuration files (.cfg)|*.cfg|All files (*.*)|*.*")),
                 QStringLiteral("Configuration files (*.cfg);;All files (*)"));
    }
};

QTEST_GUILESS_MAIN(DocumentTest)
#include "test_document.moc"
