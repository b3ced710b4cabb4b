// The recipe window and the reading of ingredients: opening the window on a recipe of 40 ingredients
// with a camera-sized picture, changing servings or units, and reading and converting 100,000 rows.

#include "bench/benchsupport.h"
#include "screens/cook.h"
#include "shell/screen.h"
#include "store/appfolder.h"
#include "store/ingredients.h"
#include "store/recipefile.h"

#include <QComboBox>
#include <QDir>
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

namespace bench {
namespace {

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
        {"1 1/2", "cups", "flour"}, {"2", "tbsp", "butter"}, {"½", "tsp", "salt"},      {"3", "", "eggs"},
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
    cook->grab();
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
            cook->grab();
        },
        [&bare] {
            bare.show();
            bare.grab();
        });
    auto *picture = cook->findChild<QLabel *>(QStringLiteral("lblKPicture"));
    const auto [pictured, decodedAgain] =
        inTurns([cook] { shell::ScreenRegistry::hide(cook); },
                [cook, picture] {
                    cook->openRecipe(QStringLiteral("Bakes"), QStringLiteral("Big Bake"));
                    while (picture->pixmap().isNull())
                        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
                    cook->grab();
                },
                [&photo] { QImageReader(photo).read(); });
    if (cook->findChild<QListWidget *>(QStringLiteral("lstKIngred"))->count() != 40)
        qFatal("cookbench: the window did not show the recipe");
    addFigure({"open the recipe window: 40 ingredients, a 4000x3000 JPEG, to the first paint", opening, bareShowing, 0,
               50, "a bare window shown and painted"});
    addFigure({"open the recipe window until its picture shows (read in a worker)", pictured, decodedAgain, 0.5, 0,
               "reading the JPEG alone"});

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
                                             std::max(defaultRuns(), 31));
    addFigure({"change servings or units: 40 ingredients shown again", changing, setting, 3, 5,
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
    const auto [reading, splitting] =
        inTurns([] {},
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
    addFigure({"read and convert 100,000 ingredient rows (1 million a second: < 100 ms)", reading, splitting, 3, 100,
               "cutting the rows into words"});
}

void measureCook()
{
    measureWindow();
    measureReading();
}

const Registration kCook("cook", 110, measureCook);

} // namespace
} // namespace bench
