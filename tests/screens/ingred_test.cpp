#include "screens/ingred.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

// The recipe entry screen over the categories Desserts and Soups; only Desserts has a folder, with a
// read-only recipe Old in it.
struct Ingred : testing::ScreenFixture
{
    Ingred()
    {
        use<frmIngred>();
        hintLabels = {"lblIMsg1", "lblIMsg2", "lblIMsg3"};
        run("write Category/category.txt=Desserts\r\nSoups\r\n > write Category/Desserts/Old=kept > "
            "read-only Category/Desserts/Old");
    }
};

// The record line of a recipe from "field=text" pairs separated by "|", fields numbered 1 to 35.
QByteArray recordLine(const QString &fields)
{
    QStringList texts(35);
    for (const QString &field : fields.split(u'|', Qt::SkipEmptyParts))
        texts[field.section(u'=', 0, 0).toInt() - 1] = field.section(u'=', 1).replace("\\n", "\r\n");
    return ('"' + texts.join("\",\"") + "\"\r\n").toUtf8();
}

} // namespace

class IngredTest : public QObject
{
    Q_OBJECT

private slots:
    void boxes_filterDigitsAndLimitLength_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("rule"); // "d": digits only; then the longest text, none without a limit
        const QString boxes = "txtIName:40 txtIA1:d5 txtIA2:d txtIA10:d txtIT1: txtIT10: txtIN1:39 txtIN6:39 txtIN2: "
                              "txtIN10: txtICTemp:d3 txtICSize:d3 txtICHr:d2 txtICMin:d3";
        for (const QString &box : boxes.split(u' '))
            QTest::newRow(qPrintable(box)) << box.section(u':', 0, 0) << box.section(u':', 1);
    }
    void boxes_filterDigitsAndLimitLength()
    {
        QFETCH(QString, box);
        QFETCH(QString, rule);
        const bool digitsOnly = rule.startsWith(u'd');
        const int limit = rule.mid(digitsOnly).toInt();
        Ingred f;
        f.run("show");
        QVERIFY(QTest::qWaitForWindowActive(f.screen));
        auto *edit = f.get<QLineEdit>(box);
        edit->setFocus();
        const QString digits = QString("1234567890").repeated(5);
        QTest::keyClicks(edit, digits);
        QCOMPARE(edit->text(), limit ? digits.left(limit) : digits);
        edit->clear();
        QTest::keyClicks(edit, "1a.,/- 2");
        QCOMPARE(edit->text(), digitsOnly ? "12" : "1a.,/- 2");
        // Backspace and Delete work as usual; pasted text gets into a digit box only when it is all digits.
        for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Delete, Qt::Key_End})
            QTest::keyClick(edit, key);
        QString expected = digitsOnly ? "" : "a.,/- ";
        for (const QString pasted : {"7x", "78"}) {
            QApplication::clipboard()->setText(pasted);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            expected += digitsOnly && pasted == u"7x" ? "" : pasted;
        }
        QCOMPARE(edit->text(), expected);
    }

    void save_writesTheRecordByteForByte_data()
    {
        // boxes typed, as "box=text" separated by "|" ("\n" is Return); the file's fields
        testing::addRows({
            "worked example; txtIA1=2|txtIT1=cups|txtIN1=flour|txtIDirec=Mix.|txtICTemp=350|txtICSize=4|txtICHr=0|txtI"
            "CMin=45; 1=2|11=cups|21=flour|31=Mix.|32=350|33=4|34=0|35=45",
            "two-line directions; txtIDirec=Mix.\\nBake.; 31=Mix.\\nBake.",
            "every box empty; ; ",
            "row 10, commas, a middle row empty; txtIA10=3|txtIT10=tbsp, heaped|txtIN10=sugar|txtIN4=salt; "
            "10=3|20=tbsp, heaped|24=salt|30=sugar",
            "blanks and a non-breaking space kept; txtIT2= cup |txtIDirec=Stir\u00a0well. |txtIA1=1; "
            "12= cup |31=Stir\u00a0well. |1=1",
        });
    }
    void save_writesTheRecordByteForByte()
    {
        const auto [boxes, fields] = testing::cells<2>();
        Ingred f;
        const QString typed = QString(boxes).replace("|", " > type ").replace("\\n", "\n");
        f.run("show > pick cboIng=Desserts > type txtIName=Apple Pie" + (boxes.isEmpty() ? "" : " > type " + typed) +
              " > click cmdISave");
        QCOMPARE(f.state("dir:Category/Desserts txtIName"), "Apple Pie|Old / Apple Pie");
        QCOMPARE(f.folder.read("Category/Desserts/Apple Pie"), recordLine(fields));
    }
    void commands_data()
    {
        // steps; what is read; what it shows
        testing::addRows({
            "load: categories by fields, in file order, none chosen; "
            "write Category/category.txt=Soups\r\n  Bread, Cakes\r\nDesserts\r\n > show; cboIng; "
            "Soups|Bread|Cakes|Desserts",
            "load without a list asks for a category; remove Category/category.txt > answer 1 > show; "
            "boxes screen main cboIng; "
            "4144 User error: Please click on 'Prg. setup' in the Main menu\rand create at least 1 category. / "
            "shown / shown / -",
            "save without a category asks for one; answer 1 > show > type txtIName=Pie > click cmdISave; "
            "boxes dir:Category dir:Category/Desserts; "
            "4144 User error: Please choose a category for the recipe\rbefore you save it. / "
            "category.txt|Desserts / Old",
            // Every error code, each from a real fault; no file changes. The store test holds the other failures.
            "load, Category folder missing; remove Category > show; report; I - FL - 76",
            "load, category.txt is a folder; remove Category/category.txt > mkdir Category/category.txt > show; "
            "report; I - FL - 75",
            "save, slash in the name; show > pick cboIng=Desserts > type txtIName=../Pie > click cmdISave; "
            "report dir:Category dir:Category/Desserts; I - CS - 52 / category.txt|Desserts / Old",
            "save, read-only recipe; "
            "show > pick cboIng=Desserts > type txtIName=Old > type txtIA1=2 > click cmdISave; "
            "report file:Category/Desserts/Old; I - CS - 75 / kept",
            // Between the two columns of rows is the frame of the rows; the hint panel is the bare screen.
            "hover hints follow the mouse; show > hover . txtIName fraIn@340,100 txtIA1 lblINAmt1 lblIMsg3 @60,260 "
            "lblICat lblIDir cboIng @400,272 txtIDirec lblIRec; hints; nnn Rnn RRn RRn RRn RRn nnn Rnn RnR RnR nnn nnR "
            "RnR",
        });
    }
    void commands() { Ingred().runRow(); }

    void menuAndButtons_actOnThisScreenOnly()
    {
        Ingred f;
        // A stand-in for the recipe display screen, with a card of its own.
        shell::ScreenRegistry::add("frmRecipe", [] {
            auto *display = new shell::Screen;
            (new QLineEdit("Card", display))->setObjectName("txtRName");
            return display;
        });
        const QWidget *card = shell::ScreenRegistry::load("frmRecipe")->findChild<QLineEdit *>("txtRName");
        f.run("show > pick cboIng=Desserts");
        const QList<QLineEdit *> boxes = f.screen->findChildren<QLineEdit *>(QRegularExpression("^txtI"));
        QCOMPARE(boxes.size(), 35);
        for (QLineEdit *box : boxes)
            QTest::keyClicks(box, "1");
        // The File menu's own title runs nothing; shown again after Main, the screen holds what was typed.
        f.run("type txtIDirec=Mix.\nBake. > menu keyfile");
        QCOMPARE(f.state("dir:Category/Desserts"), "Old");
        f.run("menu keySave > menu keyMain");
        QCOMPARE(f.state("dir:Category/Desserts screen main"), "1|Old / hidden / shown");
        f.run("show");
        QCOMPARE(f.state("txtIName txtIDirec"), "1 / Mix.\nBake.");
        // New empties the boxes of this screen only.
        f.run("menu keyNew");
        for (QLineEdit *box : boxes)
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        QCOMPARE(f.state("txtIDirec cboIng") + card->property("text").toString(), "- / *Desserts|SoupsCard");
        f.run("type txtIName=Tart > click cmdINew > click cmdIMain");
        QCOMPARE(f.state("txtIName screen main"), "- / hidden / shown");
    }
};

QTEST_MAIN(IngredTest)
#include "ingred_test.moc"
