#include "screens/setup.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

// A category name longer than a typed one may be.
#define X40 "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"

namespace {

// The setup screen over the categories Pies, Pie and Soups, each folder with a recipe in it. The key "mode"
// reads which side of the screen can be used, "create" or "delete"; "cursor" the mouse pointer's shape.
struct Setup : testing::ScreenFixture
{
    Setup()
    {
        use<frmSetup>();
        hintLabels = {"lblSMsg1", "lblSMsg2"};
        run("write Category/category.txt=Pies\r\nPie\r\nSoups\r\n > write Category/Pies/Apple crumble=1 > "
            "write Category/Pie/Apple crumble=1 > write Category/Soups/Apple crumble=1");
        ownKeys = [this](const QString &key) {
            bool usable[2] = {true, true};
            for (const char *name : {"lblSCreate", "txtSCreate", "cmdSCreate", "cmdSCCancel", "lblSDel", "txtSDel",
                                     "cmdSDel", "cmdSDelCancel"})
                usable[QByteArray(name).contains("Del")] &= get(name)->isEnabled();
            if (key == u"cursor")
                return QString(screen->cursor().shape() == Qt::ArrowCursor ? "arrow" : "busy");
            return key != u"mode"           ? QString()
                   : usable[0] == usable[1] ? "both or none"
                   : usable[0]              ? "create"
                                            : "delete";
        };
    }
};

} // namespace

class SetupTest : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        // steps; what is read; what it shows
        testing::addRows({
            "load: every line whole, in file order; "
            "write Category/category.txt=Soups\r\nPies\r\n\r\n  Stews, thick\r\n > show; lswSetup mode boxes; "
            "Soups|Pies||  Stews, thick / create / -",
            "load without a list: quiet and empty; remove Category/category.txt > show; report lswSetup mode; "
            "- / - / create",
            // Each create appends its line, the list shows them sorted ignoring case, the box is ready for the next.
            "create; show > type txtSCreate=breads > click cmdSCreate > type txtSCreate=Apples > click cmdSCreate; "
            "file:Category/category.txt lswSetup dir:Category dir:Category/Apples txtSCreate focus mode; "
            "Pies\r\nPie\r\nSoups\r\nbreads\r\nApples\r\n / Apples|breads|Pie|Pies|Soups / "
            "Apples|breads|category.txt|Pie|Pies|Soups / - / - / txtSCreate / create",
            "create with an empty name does nothing; show > click cmdSCreate; "
            "report file:Category/category.txt dir:Category focus; "
            "- / Pies\r\nPie\r\nSoups\r\n / category.txt|Pie|Pies|Soups / txtSCreate",
            "create refuses a folder there in another case; "
            "answer 1 > show > type txtSCreate=SOUPS > click cmdSCreate; "
            "boxes file:Category/category.txt txtSCreate; "
            "4160 User error: This category already exists! You MUST\rdelete it first and then re-enter the "
            "category. / Pies\r\nPie\r\nSoups\r\n / -",
            // Picking an entry and the two Cancel buttons move between the two sides of the screen.
            "pick; show > type txtSCreate=Bre > pick lswSetup=Pies; mode txtSCreate txtSDel; delete / Bre / Pies",
            "Cancel on the delete side; show > type txtSCreate=Bre > pick lswSetup=Pies > click cmdSDelCancel; "
            "mode txtSCreate txtSDel; create / Bre / -",
            "Cancel on the create side; show > type txtSCreate=Bre > click cmdSCCancel; mode txtSCreate txtSDel; "
            "delete / - / -",
            "Enter picks the current entry; show > key lswSetup=Down > key lswSetup=Return; mode txtSDel; "
            "delete / Pies",
            "Main; show > click cmdSMain; screen main; hidden / shown",
            // Delete removes the lines equal to the name and moves the folder to the trash.
            "delete one line, Pies kept; answer 1 > show > pick lswSetup=Pie > click cmdSDel; "
            "boxes file:Category/category.txt trash lswSetup mode txtSDel cursor; "
            "0 Larderon: 1 category is deleted. / Pies\r\nSoups\r\n / Pie / Pies|Soups / delete / Pie / arrow",
            "delete a typed name without a line; "
            "answer 1 > show > click cmdSCCancel > type txtSDel=Pi > click cmdSDel; "
            "boxes file:Category/category.txt trash; 0 Larderon: 0 category is deleted. / Pies\r\nPie\r\nSoups\r\n / -",
            "a line in another case stays, the folder goes; "
            "answer 1 > show > click cmdSCCancel > type txtSDel=pie > click cmdSDel; "
            "boxes file:Category/category.txt trash; "
            "0 Larderon: 0 category is deleted. / Pies\r\nPie\r\nSoups\r\n / Pie",
            "a hand-made line longer than a typed name; write Category/category.txt=" X40 "\r\n > mkdir Category/" X40
            " > answer 1 > show > pick lswSetup=" X40 " > click cmdSDel; file:Category/category.txt trash; - / " X40,
            "Cancel puts back the limit of a typed name; write Category/category.txt=" X40 "\r\n > show > "
            "pick lswSetup=" X40 " > click cmdSDelCancel > click cmdSCCancel > type txtSDel=" X40 "; txtSDel;"
            "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
            // Every error code, each from a real fault.
            "load, no Category folder; remove Category > show; report; S - FL - 76",
            "create, invalid name; show > type txtSCreate=Soups/Stews > click cmdSCreate; "
            "report file:Category/category.txt; S - CC - 52 / Pies\r\nPie\r\nSoups\r\n",
            "delete, missing folder; remove Category/Pie > answer 1 > show > pick lswSetup=Pie > click cmdSDel; "
            "report file:Category/category.txt cursor; S - CD - 76 / Pies\r\nSoups\r\n / arrow",
            "delete, read-only recipe; "
            "read-only Category/Pie/Apple crumble > answer 1 > show > pick lswSetup=Pie > click cmdSDel; "
            "report file:Category/category.txt trash; S - CD - 70 / Pies\r\nSoups\r\n / -",
            "delete, read-only list; read-only Category/category.txt > show > pick lswSetup=Pie > click cmdSDel; "
            "report file:Category/category.txt trash cursor; S - CD - 75 / Pies\r\nPie\r\nSoups\r\n / - / arrow",
            // The empty line is the empty name; the Category folder itself is never the folder of a name.
            "delete, empty name; write Category/category.txt=Soups\r\n\r\nPies\r\n > answer 1 > show > "
            "click cmdSCCancel > click cmdSDel; report file:Category/category.txt dir:Category; "
            "S - CD - 52 / Soups\r\nPies\r\n / category.txt|Pie|Pies|Soups",
            // Other controls leave the hints as they are; the bare frame and its decorations put them back. The
            // disabled side still explains how to reach it.
            "hover hints follow the mouse; show > hover . txtSCreate lswSetup lblSCreate fraSCategory@150,-5 "
            "cmdSCreate Picture1@-4,-4 txtSDel Shape1@2,2 cmdSDel fraSCategory@150,-5; hints; nn Rn Rn Rn nn Rn nn nR "
            "nn nR nn",
        });
    }
    void commands() { Setup().runRow(); }
};

QTEST_MAIN(SetupTest)
#include "setup_test.moc"
