// Measures the recipe window and the reading of ingredients, and prints one table row per figure in the
// form of bench/storebench.cpp: ours, the floor measured in the same run, their ratio, the limit and
// whether it is met. Ours and the floor run in turns and each is the median of its runs.

#include "screens/cook.h"
#include "shell/appearance.h"
#include "shell/screen.h"
#include "store/appfolder.h"
#include "store/ingredients.h"
#include "store/recipefile.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

int g_runs = 11;

struct Figure
{
    const char *what;
    double ours;
    double floor;
    double maxRatio; ///< 0 when there is no limit on the ratio
    double maxOurs;  ///< 0 when there is no absolute limit
    const char *floorName;
    const char *unit = "ms";
};

std::vector<Figure> g_figures;

double middle(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double timed(const std::function<void()> &measure)
{
    QElapsedTimer timer;
    timer.start();
    measure();
    return double(timer.nsecsElapsed()) / 1e6;
}

/// The medians of ours and the floor, run in turns, each run preceded by `prepare`.
std::pair<double, double> inTurns(const std::function<void()> &prepare, const std::function<void()> &ours,
                                  const std::function<void()> &floor, int runs = g_runs)
{
    std::vector<double> oursTimes;
    std::vector<double> floorTimes;
    for (int i = 0; i < runs; ++i) {
        prepare();
        if (i % 2 == 0)
            oursTimes.push_back(timed(ours));
        floorTimes.push_back(timed(floor));
        if (i % 2 == 1)
            oursTimes.push_back(timed(ours));
    }
    return {middle(oursTimes), middle(floorTimes)};
}

// A photograph's worth of detail: soft gradients and many small shapes, so that the JPEG is as large as a
// camera's.
void writePhoto(const QString &path)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 4000, 3000);
    sky.setColorAt(0, QColor(200, 120, 60));
    sky.setColorAt(1, QColor(40, 90, 30));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(7);
    for (int i = 0; i < 20000; ++i) {
        painter.setBrush(QColor::fromRgb(random.generate()));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(random.bounded(4000), random.bounded(3000), random.bounded(4, 60), random.bounded(4, 60));
    }
    painter.end();
    image.save(path, "JPEG", 90);
}

// 40 rows: the ten fields and 30 under "More ingredients:", of every kind of amount and measure.
store::RecipeRecord fortyRows()
{
    static const char *const kinds[][3] = {
        {"1 1/2", "cups", "flour"}, {"2", "tbsp", "butter"}, {"½", "tsp", "salt"}, {"3", "", "eggs"},
        {"1-2", "cups", "milk"},    {"200", "g", "sugar"},   {"a pinch", "", "nutmeg"}, {"2", "msk", "olja"},
        {"1", "lb", "beef"},        {"250", "ml", "stock"},
    };
    store::RecipeRecord record;
    QStringList more;
    for (int i = 0; i < 40; ++i) {
        const auto &kind = kinds[i % 10];
        if (i < store::RecipeRecord::kRowCount) {
            record.amount(i + 1) = QString::fromUtf8(kind[0]);
            record.type(i + 1) = QString::fromUtf8(kind[1]);
            record.ingredient(i + 1) = QString::fromUtf8(kind[2]);
        } else {
            more.append(QStringList{QString::fromUtf8(kind[0]), QString::fromUtf8(kind[1]), QString::fromUtf8(kind[2])}
                            .join(u' ')
                            .simplified());
        }
    }
    record.directions() = QStringLiteral("More ingredients:\n") + more.join(u'\n') +
                          QStringLiteral("\n\nMix the dry things.\nAdd the rest.\nBake until golden.");
    record.servingSize() = QStringLiteral("4");
    record.temperature() = QStringLiteral("350");
    return record;
}

void measureWindow()
{
    QTemporaryDir app;
    store::setApplicationFolder(app.path());
    QDir().mkpath(app.filePath(QStringLiteral("Category/Bakes")));
    QDir().mkpath(app.filePath(QStringLiteral("Pictures/Bakes")));
    store::saveRecipe(QStringLiteral("Bakes"), QStringLiteral("Big Bake"), fortyRows());
    const QString photo = app.filePath(QStringLiteral("Pictures/Bakes/Big Bake.jpg"));
    writePhoto(photo);

    auto *cook = shell::ScreenRegistry::load<frmCook>();
    // The first opening makes the window's pieces; every opening after it is measured.
    cook->openRecipe(QStringLiteral("Bakes"), QStringLiteral("Big Bake"));
    cook->repaint();
    // The floor of a first paint: a bare window of the same size shown and painted.
    QWidget bare;
    bare.resize(cook->size());
    const auto [opening, bareShowing] = inTurns(
        [cook, &bare] {
            shell::ScreenRegistry::hide(cook);
            bare.hide();
            QCoreApplication::processEvents();
        },
        [cook] {
            cook->openRecipe(QStringLiteral("Bakes"), QStringLiteral("Big Bake"));
            cook->repaint();
        },
        [&bare] {
            bare.show();
            bare.repaint();
        });
    auto *picture = cook->findChild<QLabel *>(QStringLiteral("lblKPicture"));
    const auto [pictured, decodedAgain] =
        inTurns([cook] { shell::ScreenRegistry::hide(cook); },
                [cook, picture] {
                    cook->openRecipe(QStringLiteral("Bakes"), QStringLiteral("Big Bake"));
                    while (picture->pixmap().isNull())
                        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
                    cook->repaint();
                },
                [&photo] { QImageReader(photo).read(); });
    if (cook->findChild<QListWidget *>(QStringLiteral("lstKIngred"))->count() != 40)
        qFatal("cookbench: the window did not show the recipe");
    g_figures.push_back({"open the recipe window: 40 ingredients, a 4000x3000 JPEG, to the first paint", opening,
                         bareShowing, 0, 50, "a bare window shown and painted"});
    g_figures.push_back({"open the recipe window until its picture shows (read in a worker)", pictured,
                         decodedAgain, 0.5, 0, "reading the JPEG alone"});

    auto *servings = cook->findChild<QSpinBox *>(QStringLiteral("txtKServ"));
    auto *units = cook->findChild<QComboBox *>(QStringLiteral("cboKUnits"));
    auto *list = cook->findChild<QListWidget *>(QStringLiteral("lstKIngred"));
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text() + QLatin1Char(' '));
    int step = 0;
    const auto [changing, setting] = inTurns([&step] { ++step; },
                                             [&] {
                                                 if (step % 2)
                                                     servings->setValue(servings->value() % 12 + 1);
                                                 else
                                                     units->setCurrentIndex((units->currentIndex() + 1) % 3);
                                                 list->viewport()->repaint();
                                             },
                                             [&] {
                                                 // The same 40 rows given texts made beforehand.
                                                 for (int i = 0; i < list->count(); ++i)
                                                     list->item(i)->setText(texts.at(i).chopped(step % 2));
                                                 list->viewport()->repaint();
                                             },
                                             std::max(g_runs, 31));
    g_figures.push_back({"change servings or units: 40 ingredients shown again", changing, setting, 3, 5,
                         "the 40 texts set and drawn"});
    shell::ScreenRegistry::hide(cook);
    store::setApplicationFolder(QString());
}

void measureReading()
{
    const store::RecipeRecord record = fortyRows();
    QStringList lines;
    for (int i = 0; i < 100000; ++i) {
        const int row = i % 10 + 1;
        lines.append(QStringList{record.amount(row), record.type(row), record.ingredient(row)}.join(u' ').simplified());
    }
    qsizetype kept = 0;
    const auto [reading, splitting] = inTurns([] {},
                                              [&] {
                                                  for (const QString &line : std::as_const(lines)) {
                                                      const store::IngredientLine read = store::readIngredientLine(line);
                                                      kept += store::showLine(read, 1.5, store::Units::Metric).amount.size();
                                                  }
                                              },
                                              [&] {
                                                  // The floor: each line cut into its words.
                                                  for (const QString &line : std::as_const(lines))
                                                      kept += line.split(u' ').size();
                                              });
    if (kept == 0)
        qFatal("cookbench: nothing read");
    g_figures.push_back({"read and convert 100,000 ingredient rows (1 million a second: < 100 ms)", reading,
                         splitting, 3, 100, "cutting the rows into words"});
}

void printTable()
{
    std::printf("| figure | Larderon | measured against | floor | ratio | limit | met |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Figure &f : g_figures) {
        const double ratio = f.ours / f.floor;
        const bool met = (f.maxRatio <= 0 || ratio <= f.maxRatio) && (f.maxOurs <= 0 || f.ours < f.maxOurs);
        QStringList limits;
        if (f.maxRatio >= 1)
            limits << QStringLiteral("<= %1x").arg(f.maxRatio);
        else if (f.maxRatio > 0)
            limits << QStringLiteral("<= 1/%1x").arg(qRound(1 / f.maxRatio));
        if (f.maxOurs > 0)
            limits << QStringLiteral("< %1 ms").arg(f.maxOurs);
        std::printf("| %s | %.2f %s | %s | %.2f %s | %.2fx | %s | %s |\n", f.what, f.ours, f.unit, f.floorName, f.floor,
                    f.unit, ratio, qPrintable(limits.join(QStringLiteral(", "))), met ? "yes" : "NO");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--runs")); i > 0 && i + 1 < args.size())
        g_runs = std::max(1, args.at(i + 1).toInt());
    shell::registerTahoma();
    measureWindow();
    measureReading();
    printTable();
    return 0;
}
