#include "screens/recipe.h"
#include "screens/recipeprint.h"
#include "shell/appearance.h"
#include "shell/errorpath.h"
#include "shell/lineprinter.h"
#include "store/recipefile.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using recipeprint::RecipeCard;
using store::RecipeRecord;

namespace {

/// What a RecordingPrinter saw: the finished lines, with bold runs between "**", and every call in order.
struct PrintRecord
{
    QStringList lines;
    QStringList events;
    int documents = 0;
};

/// A line printer that writes nothing and records everything: a fixed advance of 6 points per character
/// and a line height of 1.2 times the font size.
class RecordingPrinter : public shell::LinePrinter
{
public:
    explicit RecordingPrinter(PrintRecord &record, double pageWidth = 600, double pageHeight = 10000)
        : m_record(record), m_pageWidth(pageWidth), m_pageHeight(pageHeight)
    {}

    void setFontName(const QString &name) override { m_record.events << QStringLiteral("font ") + name; }
    void setFontSize(double points) override
    {
        m_size = points;
        m_record.events << QStringLiteral("size %1").arg(points);
    }
    void setBold(bool bold) override
    {
        m_bold = bold;
        m_record.events << (bold ? QStringLiteral("bold on") : QStringLiteral("bold off"));
    }
    double fontSize() const override { return m_size; }
    void print(const QString &text) override
    {
        m_record.events << QStringLiteral("print \"%1\"").arg(text);
        if (!m_segments.isEmpty() && m_segments.last().first == m_bold)
            m_segments.last().second += text;
        else
            m_segments.append({m_bold, text});
        m_x += textWidth(text);
    }
    void endLine() override
    {
        m_record.events << QStringLiteral("endLine");
        QString line;
        for (const auto &[bold, text] : std::as_const(m_segments)) {
            if (!text.isEmpty())
                line += bold ? QStringLiteral("**") + text + QStringLiteral("**") : text;
        }
        m_record.lines << line;
        m_segments.clear();
        m_x = 0;
        m_y += m_size * 1.2;
    }
    double textWidth(const QString &text) const override { return 6.0 * text.size(); }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    double pageWidth() const override { return m_pageWidth; }
    double pageHeight() const override { return m_pageHeight; }
    void newPage() override
    {
        m_record.events << QStringLiteral("newPage");
        m_y = 0;
    }
    void endDocument() override
    {
        m_record.events << QStringLiteral("endDocument");
        ++m_record.documents;
    }

private:
    PrintRecord &m_record;
    QList<std::pair<bool, QString>> m_segments;
    double m_pageWidth;
    double m_pageHeight;
    double m_size = 12;
    bool m_bold = false;
    double m_x = 0;
    double m_y = 0;
};

const QString kRule = QStringLiteral("**") + QString(125, QLatin1Char('-')) + QStringLiteral("**");
const QString kEmptyRow = QStringLiteral("      ");

RecipeCard applePie()
{
    RecipeCard card;
    card.name = QStringLiteral("Apple Pie");
    card.date = QStringLiteral("5/1/26");
    card.record.servingSize() = QStringLiteral("8");
    card.record.amount(1) = QStringLiteral("2");
    card.record.type(1) = QStringLiteral("cups");
    card.record.ingredient(1) = QStringLiteral("flour");
    card.record.directions() = QStringLiteral("Bake.");
    card.record.temperature() = QStringLiteral("350");
    card.record.hours() = QStringLiteral("1");
    card.record.minutes() = QStringLiteral("0");
    return card;
}

QStringList pageOf(const QString &heading, const QStringList &rows, const QStringList &directions,
                   const QString &cooking)
{
    QStringList lines{QString(), heading, kRule, QString()};
    lines += rows;
    lines << QString();
    lines += directions;
    lines << QString() << QString() << cooking;
    return lines;
}

QString today()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

// The text of a PDF file as pdftotext reads it, one entry per line with blanks collapsed, empty lines
// left out; pages are separated by a form feed entry.
QStringList pdfLines(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {QStringLiteral("pdftotext failed: ") + QString::fromUtf8(process.readAllStandardError())};
    QStringList lines;
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    for (QString line : text.split(QLatin1Char('\n'))) {
        while (line.startsWith(QLatin1Char('\f'))) {
            lines << QStringLiteral("\f");
            line.remove(0, 1);
        }
        line = line.simplified();
        if (!line.isEmpty())
            lines << line;
    }
    while (!lines.isEmpty() && lines.last() == u"\f")
        lines.removeLast();
    return lines;
}

} // namespace

class RecipePrintTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    // The page, through a recording printer.
    void workedExample_printsTheLayout();
    void emptyCard_printsTheFixedParts();
    void directions_eachLineIsAPrintedLine_data();
    void directions_eachLineIsAPrintedLine();
    void longDirections_wrapAndContinueOnNewPages();

    // Print on the screen.
    void print_printsTheCardAsTyped();
    void print_endsSilently_data();
    void print_endsSilently();
    void print_toPdfReadsBack();

private:
    frmRecipe *showRecipe(const QString &category, const QString &name);
    static QString pdftotext();
};

void RecipePrintTest::initTestCase()
{
    shell::registerTahoma();
}

void RecipePrintTest::workedExample_printsTheLayout()
{
    PrintRecord record;
    RecordingPrinter printer(record);
    recipeprint::printRecipeCard(printer, applePie());

    QStringList rows{QStringLiteral("2   cups   flour")};
    for (int row = 2; row <= 10; ++row)
        rows << kEmptyRow;
    QCOMPARE(record.lines, pageOf(QStringLiteral("**Apple Pie     Size: **8     5/1/26"), rows,
                                  {QStringLiteral("Bake.")}, QStringLiteral("350** F     H: **1     **M: **0")));

    // The first line goes out in the printer's own font; Tahoma 10 is set after it and never changed.
    QCOMPARE(record.events.mid(0, 4), (QStringList{QStringLiteral("endLine"), QStringLiteral("font Tahoma"),
                                                   QStringLiteral("size 10"), QStringLiteral("bold on")}));
    QCOMPARE(record.events.filter(QStringLiteral("font ")).size(), 1);
    QCOMPARE(record.events.filter(QStringLiteral("size ")).size(), 1);
    QCOMPARE(record.events.last(), QStringLiteral("endDocument"));
    QCOMPARE(record.documents, 1);
}

void RecipePrintTest::emptyCard_printsTheFixedParts()
{
    PrintRecord record;
    RecordingPrinter printer(record);
    RecipeCard card;
    card.date = QStringLiteral("2026-05-01");
    recipeprint::printRecipeCard(printer, card);

    QStringList rows;
    for (int row = 1; row <= 10; ++row)
        rows << kEmptyRow;
    QCOMPARE(record.lines, pageOf(QStringLiteral("**     Size: **     2026-05-01"), rows, {QString()},
                                  QStringLiteral("** F     H: **     **M: **")));
}

void RecipePrintTest::directions_eachLineIsAPrintedLine_data()
{
    QTest::addColumn<QString>("directions");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("two lines") << QStringLiteral("Mix well.\nBake.")
                               << QStringList{QStringLiteral("Mix well."), QStringLiteral("Bake.")};
    QTest::newRow("empty line inside") << QStringLiteral("Mix.\n\nBake.")
                                       << QStringList{QStringLiteral("Mix."), QString(), QStringLiteral("Bake.")};
    QTest::newRow("line break at the end")
        << QStringLiteral("Mix.\n") << QStringList{QStringLiteral("Mix."), QString()};
    QTest::newRow("only a line break") << QStringLiteral("\n") << QStringList{QString(), QString()};
    QTest::newRow("commas and blanks kept")
        << QStringLiteral("Salt, pepper,  oil ") << QStringList{QStringLiteral("Salt, pepper,  oil ")};
}

void RecipePrintTest::directions_eachLineIsAPrintedLine()
{
    QFETCH(QString, directions);
    QFETCH(QStringList, lines);
    PrintRecord record;
    RecordingPrinter printer(record);
    RecipeCard card = applePie();
    card.record.directions() = directions;
    recipeprint::printRecipeCard(printer, card);

    // Four lines before the rows, ten rows and one empty line; then the directions and three lines after.
    constexpr int kBefore = 4 + 10 + 1;
    QCOMPARE(record.lines.mid(kBefore, record.lines.size() - kBefore - 3), lines);
    QCOMPARE(record.lines.last(), QStringLiteral("350** F     H: **1     **M: **0"));
}

void RecipePrintTest::longDirections_wrapAndContinueOnNewPages()
{
    // 40 characters a line at 6 points each; a page of 20 lines of 12 points.
    PrintRecord record;
    RecordingPrinter printer(record, 240, 20 * 12);
    RecipeCard card = applePie();
    QString paragraph;
    for (int word = 0; word < 60; ++word)
        paragraph += QStringLiteral("word%1 ").arg(word, 2, 10, QLatin1Char('0'));
    card.record.directions() = paragraph.trimmed() + QStringLiteral("\nEnd.");
    recipeprint::printRecipeCard(printer, card);

    const qsizetype first = record.lines.indexOf(QRegularExpression(QStringLiteral("word00 .*")));
    const qsizetype last = record.lines.indexOf(QStringLiteral("End."));
    QVERIFY(first > 0);
    QVERIFY(last > first + 1);
    QString joined;
    for (qsizetype i = first; i < last; ++i) {
        QVERIFY2(record.lines.at(i).size() * 6 <= 240, qPrintable(record.lines.at(i)));
        joined += record.lines.at(i);
    }
    QCOMPARE(joined, paragraph.trimmed());
    QVERIFY(record.events.contains(QStringLiteral("newPage")));
}

frmRecipe *RecipePrintTest::showRecipe(const QString &category, const QString &name)
{
    auto *screen = shell::ScreenRegistry::show<frmRecipe>();
    auto *cbo = screen->findChild<QComboBox *>(QStringLiteral("cboRCat"));
    const int index = cbo->findText(category);
    cbo->setCurrentIndex(index);
    emit cbo->activated(index);
    auto *list = screen->findChild<QListWidget *>(QStringLiteral("lswRFile"));
    list->doItemsLayout();
    const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
    if (items.size() == 1)
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
    return screen;
}

void RecipePrintTest::print_printsTheCardAsTyped()
{
    testing::AppFolder app;
    testing::MessageScript script;
    testing::ScreenSession session;
    app.write(QStringLiteral("Category/category.txt"), "Desserts\r\n");
    app.makeFolder(QStringLiteral("Category/Desserts"));
    store::saveRecipe(QStringLiteral("Desserts"), QStringLiteral("Apple Pie"), applePie().record);

    frmRecipe *screen = showRecipe(QStringLiteral("Desserts"), QStringLiteral("Apple Pie"));
    auto *chk = screen->findChild<QCheckBox *>(QStringLiteral("chkRDel"));
    QVERIFY(chk->isEnabled());
    // Typing on the card changes the page; the caption boxes do not.
    QTest::keyClicks(screen->findChild<QLineEdit *>(QStringLiteral("txtRI2")), QStringLiteral("sugar"));
    screen->findChild<QLineEdit *>(QStringLiteral("txtRSrv"))->setText(QStringLiteral("Portions"));
    screen->findChild<QPlainTextEdit *>(QStringLiteral("txtRDirec"))->setPlainText(QStringLiteral("Bake.\nCool."));
    {
        // The box is checked only while a delete runs; this shows that Print clears it.
        const QSignalBlocker quiet(chk);
        chk->setChecked(true);
    }

    PrintRecord record;
    QString docName;
    screen->setPrinterSetup([&](QWidget *, const QString &name) {
        docName = name;
        return std::make_unique<RecordingPrinter>(record);
    });
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("cmdRPrint")), Qt::LeftButton);

    QCOMPARE(docName, QStringLiteral("Apple Pie"));
    QCOMPARE(record.documents, 1);
    QCOMPARE(record.lines.value(1), QStringLiteral("**Apple Pie     Size: **8     ") + today());
    QCOMPARE(record.lines.value(4), QStringLiteral("2   cups   flour"));
    QCOMPARE(record.lines.value(5), QStringLiteral("      sugar"));
    QCOMPARE(record.lines.mid(15, 2), (QStringList{QStringLiteral("Bake."), QStringLiteral("Cool.")}));
    QVERIFY(!chk->isChecked());
    QVERIFY(chk->isEnabled());

    // The menu's Print runs the same command.
    screen->findChild<QAction *>(QStringLiteral("keyPrint"))->trigger();
    QCOMPARE(record.documents, 2);
    VERIFY_NO_UNEXPECTED_BOX(script);
    QVERIFY(screen->isVisible());
}

void RecipePrintTest::print_endsSilently_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancel in the dialog") << true;
    QTest::newRow("printer cannot start") << false;
}

void RecipePrintTest::print_endsSilently()
{
    QFETCH(bool, cancel);
    testing::AppFolder app;
    testing::MessageScript script;
    testing::ScreenSession session;
    auto *screen = shell::ScreenRegistry::show<frmRecipe>();
    auto *chk = screen->findChild<QCheckBox *>(QStringLiteral("chkRDel"));
    {
        const QSignalBlocker quiet(chk);
        chk->setChecked(true);
    }
    // A PDF file in a folder that does not exist cannot be opened.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(app.file(QStringLiteral("no such folder/recipe.pdf")));
    int dialogs = 0;
    screen->setPrinterSetup([&](QWidget *, const QString &) -> std::unique_ptr<shell::LinePrinter> {
        ++dialogs;
        if (cancel)
            return nullptr;
        return std::make_unique<shell::PainterLinePrinter>(&printer);
    });
    shell::errorHandOver() = {};
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("cmdRPrint")), Qt::LeftButton);

    QCOMPARE(dialogs, 1);
    QVERIFY(chk->isChecked());
    QVERIFY(screen->isVisible());
    QVERIFY(shell::errorHandOver().code.isEmpty());
    QVERIFY(!shell::ScreenRegistry::find(QStringLiteral("frmError")));
    QVERIFY(script.boxes().isEmpty());
}

void RecipePrintTest::print_toPdfReadsBack()
{
    if (pdftotext().isEmpty())
        QSKIP("pdftotext is not installed");
    testing::AppFolder app;
    testing::MessageScript script;
    testing::ScreenSession session;
    app.write(QStringLiteral("Category/category.txt"), "Desserts\r\n");
    app.makeFolder(QStringLiteral("Category/Desserts"));
    RecipeRecord pie = applePie().record;
    // Many lines of directions carry the page over to a second one.
    QStringList steps;
    for (int step = 1; step <= 70; ++step)
        steps << QStringLiteral("Step %1: fill, fold and finish.").arg(step);
    pie.directions() = steps.join(QLatin1Char('\n'));
    store::saveRecipe(QStringLiteral("Desserts"), QStringLiteral("Apple Pie"), pie);
    frmRecipe *screen = showRecipe(QStringLiteral("Desserts"), QStringLiteral("Apple Pie"));

    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("recipe.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(pdf);
    screen->setPrinterSetup([&](QWidget *, const QString &) {
        auto painter = std::make_unique<shell::PainterLinePrinter>(&printer);
        painter->setNoShaping(true);
        return painter;
    });
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("cmdRPrint")), Qt::LeftButton);

    QStringList expected{QStringLiteral("Apple Pie Size: 8 ") + today(), QString(125, QLatin1Char('-')),
                         QStringLiteral("2 cups flour")};
    expected += steps;
    expected << QStringLiteral("350 F H: 1 M: 0");
    QStringList lines = pdfLines(pdf);
    QCOMPARE(lines.count(QStringLiteral("\f")), 1);
    lines.removeAll(QStringLiteral("\f"));
    QCOMPARE(lines, expected);
    VERIFY_NO_UNEXPECTED_BOX(script);
}

QString RecipePrintTest::pdftotext()
{
    return QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
}

QTEST_MAIN(RecipePrintTest)
#include "recipeprint_test.moc"
