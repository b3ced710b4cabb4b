#include "screens/plan.h"

#include "screens/cook.h"
#include "screens/planfind.h"
#include "screens/planshop.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/messages.h"
#include "shell/module1.h"
#include "shell/windowparts.h"
#include "store/amount.h"
#include "store/io/failure.h"
#include "store/io/workfolder.h"
#include "store/recipefile.h"

#include <QHBoxLayout>
#include <QEvent>
#include <QHeaderView>
#include <QTimer>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QLabel *label(QWidget *parent, const QString &caption, QWidget *buddy)
{
    auto *made = new QLabel(caption, parent);
    made->setBuddy(buddy);
    return made;
}

} // namespace

frmPlan::frmPlan(QWidget *parent)
    : shell::Screen(parent), m_week(new PlanWeek(this)), m_pages(new QStackedWidget(this)),
      m_weekLabel(new QLabel(this)), m_household(new QSpinBox(this)), m_grid(new WeekGrid(this)),
      m_servings(new QSpinBox(this)),
      m_cooked(shell::namedButton(this, "cmdPCooked", QStringLiteral("Cooked"))),
      m_open(shell::namedButton(this, "cmdPOpen", QStringLiteral("Open"))),
      m_remove(shell::namedButton(this, "cmdPRemove", QStringLiteral("Remove"))), m_finder(new PlanFinder(this)),
      m_shop(new PlanShop(this))
{
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Meal plan"));
    resize(1100, 640);
    m_weekLabel->setObjectName(QStringLiteral("lblPWeek"));
    m_household->setObjectName(QStringLiteral("txtPHouse"));
    m_household->setAccessibleName(QStringLiteral("Household size"));
    m_household->setRange(0, 99);
    m_household->setSpecialValueText(QStringLiteral("not set"));
    m_household->setToolTip(QStringLiteral("The servings a newly planned recipe starts with; when not set, "
                                           "the recipe's own serving size"));
    m_grid->setObjectName(QStringLiteral("grdPWeek"));
    m_grid->setAccessibleName(QStringLiteral("Week"));
    m_grid->setModel(m_week);
    m_servings->setObjectName(QStringLiteral("txtPServ"));
    m_servings->setAccessibleName(QStringLiteral("Servings"));
    m_servings->setRange(0, 999);
    m_servings->setSpecialValueText(QStringLiteral("as written"));
    m_cooked->setCheckable(true);
    m_cooked->setToolTip(QStringLiteral("Marks the chosen meal cooked today, or no longer cooked"));
    m_remove->setToolTip(QStringLiteral("Takes the chosen meal out of the plan (Delete)"));
    m_shop->setObjectName(QStringLiteral("fraPShop"));

    QPushButton *previous = shell::namedButton(this, "cmdPPrev", QStringLiteral("Previous week"));
    QPushButton *thisWeek = shell::namedButton(this, "cmdPThis", QStringLiteral("This week"));
    QPushButton *next = shell::namedButton(this, "cmdPNext", QStringLiteral("Next week"));
    QPushButton *addMeal = shell::namedButton(this, "cmdPMeal", QStringLiteral("Add meal..."));
    addMeal->setToolTip(QStringLiteral("Adds a row for a meal of your own, such as Snack or Brunch"));
    QPushButton *shop = shell::namedButton(this, "cmdPShop", QStringLiteral("Shop for..."));
    QPushButton *main = shell::namedButton(this, "cmdPMain", QStringLiteral("Main"));

    auto *top = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{previous, thisWeek, next, m_weekLabel})
        top->addWidget(w);
    top->addStretch();
    top->addWidget(label(this, QStringLiteral("&Household size:"), m_household));
    top->addWidget(m_household);
    auto *below = new QHBoxLayout;
    QLabel *servings = label(this, QStringLiteral("&Servings:"), m_servings);
    for (QWidget *w : std::initializer_list<QWidget *>{m_open, m_cooked, m_remove, addMeal, servings, m_servings})
        below->addWidget(w);
    below->addStretch();
    below->addWidget(shop);
    below->addWidget(main);
    auto *left = new QWidget(this);
    auto *leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->addWidget(m_grid, 1);
    leftColumn->addLayout(below);
    auto *split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(m_finder);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto *planning = new QWidget(this);
    auto *planningPage = new QVBoxLayout(planning);
    planningPage->addLayout(top);
    planningPage->addWidget(split, 1);
    m_pages->addWidget(planning);
    m_pages->addWidget(m_shop);
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(m_pages);
    setTabOrder(m_finder, m_grid);

    connect(previous, &QPushButton::clicked, this, [this] { showWeek(m_week->firstDay().addDays(-7)); });
    connect(next, &QPushButton::clicked, this, [this] { showWeek(m_week->firstDay().addDays(7)); });
    connect(thisWeek, &QPushButton::clicked, this, [this] { showWeek(QDate::currentDate()); });
    connect(m_household, &QSpinBox::valueChanged, this,
            [](int size) { shell::windowSettings().setValue(QStringLiteral("frmPlan/household"), size); });
    connect(m_grid, &WeekGrid::enterPressed, this, &frmPlan::addChosenRecipe);
    connect(m_grid, &WeekGrid::deletePressed, this, &frmPlan::removeMeal);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &frmPlan::openMeal);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmPlan::showCurrent);
    connect(m_week, &QAbstractItemModel::modelReset, this, &frmPlan::showCurrent);
    connect(m_week, &PlanWeek::recipeDropped, this, &frmPlan::addRecipe);
    connect(m_week, &PlanWeek::mealDropped, this, &frmPlan::moveMeal);
    connect(m_finder, &PlanFinder::addClicked, this, &frmPlan::addChosenRecipe);
    connect(m_finder, &PlanFinder::addTextClicked, this, &frmPlan::addText);
    connect(m_open, &QPushButton::clicked, this, &frmPlan::openMeal);
    connect(m_cooked, &QPushButton::clicked, this, &frmPlan::toggleCooked);
    connect(m_remove, &QPushButton::clicked, this, &frmPlan::removeMeal);
    connect(m_servings, &QSpinBox::valueChanged, this, &frmPlan::changeServings);
    connect(addMeal, &QPushButton::clicked, m_grid, &WeekGrid::addMeal);
    connect(shop, &QPushButton::clicked, this, &frmPlan::startShopping);
    connect(main, &QPushButton::clicked, this, &frmPlan::backToMain);
    connect(m_shop, &PlanShop::backClicked, this, [this] { m_pages->setCurrentIndex(0); });
}

frmPlan::~frmPlan() = default;

void frmPlan::load()
{
    Module1::DropShadow(this);
    const QSettings kept = shell::windowSettings();
    if (const QSize size = kept.value(QStringLiteral("frmPlan/size")).toSize(); size.isValid())
        resize(size);
    const QSignalBlocker quiet(m_household);
    m_household->setValue(kept.value(QStringLiteral("frmPlan/household"), 0).toInt());
    showWeek(QDate::currentDate());
    m_finder->setFocus();
}

bool frmPlan::event(QEvent *event)
{
    // Each time the screen shows, the recipes and the plan may have changed elsewhere; the search waits for
    // the next turn of the event loop, so that the window is drawn first.
    if (event->type() == QEvent::Show) {
        if (m_week->firstDay().isValid())
            m_week->reread();
        QTimer::singleShot(0, m_finder, &PlanFinder::search);
    }
    return shell::Screen::event(event);
}

void frmPlan::hideEvent(QHideEvent *event)
{
    shell::windowSettings().setValue(QStringLiteral("frmPlan/size"), size());
    shell::Screen::hideEvent(event);
}

void frmPlan::showWeek(QDate date)
{
    const QModelIndex was = m_grid->currentIndex();
    m_week->showWeek(date);
    const QDate first = m_week->firstDay();
    const QDate last = first.addDays(6);
    const QLocale locale;
    m_weekLabel->setText(first.month() == last.month()
                             ? QStringLiteral("%1 \u2013 %2").arg(first.day()).arg(locale.toString(last, "d MMMM yyyy"))
                             : QStringLiteral("%1 \u2013 %2").arg(locale.toString(first, "d MMMM"),
                                                                  locale.toString(last, "d MMMM yyyy")));
    // The cell chosen stays on its day of the week and meal; in a week just opened, today's dinner.
    const int today = int(first.daysTo(QDate::currentDate()));
    const int column = was.isValid() ? was.column() : (today >= 0 && today < 7 ? today : 0);
    const int row = was.isValid() ? std::min(was.row(), m_week->rowCount() - 1) : int(store::kDayMeals.size() - 1);
    m_grid->setCurrentIndex(m_week->index(row, column));
    reportUnreadable();
}

void frmPlan::reportUnreadable()
{
    for (int day = 0; day < 7; ++day) {
        const QDate date = m_week->firstDay().addDays(day);
        const int failure = m_week->failureOf(date);
        if (failure == 0 || m_reported.contains(store::weekStart(date)))
            continue;
        m_reported.insert(store::weekStart(date));
        shell::msgBox(QStringLiteral("The meal plan file %1 could not be read (%2).\rIts days show nothing "
                                     "and take no meals; the file is kept as it is.")
                          .arg(store::weekFileName(date), store::Failure::descriptionOf(failure)),
                      shell::MbSystemModal | shell::MbExclamation);
    }
}

PlanWeek::Ref frmPlan::current() const
{
    return m_week->refAt(m_grid->currentIndex());
}

QString frmPlan::startingServings(const QString &category, const QString &name) const
{
    if (m_household->value() > 0)
        return QString::number(m_household->value());
    try {
        const std::optional<double> size = store::parseAmount(store::loadRecipe(category, name).servingSize());
        if (size && *size >= 1)
            return QString::number(qRound(*size));
    } catch (const store::Failure &) {
        // A recipe that cannot be read has no serving size to start from.
    }
    return {};
}

bool frmPlan::write(const std::function<PlanWeek::Ref()> &change, QList<QDate> days)
{
    for (const QDate day : days) {
        if (const int failure = m_week->failureOf(day)) {
            shell::msgBox(QStringLiteral("The meal plan file %1 could not be read (%2),\rso its days take no "
                                         "changes until the file is put right.")
                              .arg(store::weekFileName(day), store::Failure::descriptionOf(failure)),
                          shell::MbSystemModal | shell::MbExclamation);
            return false;
        }
    }
    try {
        const PlanWeek::Ref ref = change();
        if (ref.isValid())
            m_grid->setCurrentIndex(m_week->indexOf(ref));
    } catch (const store::Failure &failure) {
        shell::raiseError(this, shell::codes::PlanSave, failure);
        return false;
    }
    return true;
}

void frmPlan::addChosenRecipe()
{
    QString category;
    QString name;
    if (!m_finder->chosen(&category, &name)) {
        shell::msgBox(QStringLiteral("Please find a recipe and choose it in the list\rbefore you add it."),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
        return;
    }
    addRecipe(category, name, m_grid->currentIndex());
}

void frmPlan::addRecipe(const QString &category, const QString &name, const QModelIndex &cell)
{
    if (!cell.isValid())
        return;
    const store::PlannedMeal meal{store::planDate(m_week->dayAt(cell)), m_week->mealAt(cell), category, name,
                                  startingServings(category, name), {}, {}};
    write([&] { return m_week->add(meal); }, {m_week->dayAt(cell)});
}

void frmPlan::addText()
{
    const QString text = m_finder->words();
    if (text.isEmpty() || !m_grid->currentIndex().isValid()) {
        shell::msgBox(QStringLiteral("Please type the meal into Find (such as Leftovers)\rand choose its day "
                                     "before you add it."),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
        return;
    }
    const QModelIndex cell = m_grid->currentIndex();
    const store::PlannedMeal meal{store::planDate(m_week->dayAt(cell)), m_week->mealAt(cell), {}, text, {}, {}, {}};
    write([&] { return m_week->add(meal); }, {m_week->dayAt(cell)});
}

void frmPlan::moveMeal(PlanWeek::Ref ref, const QModelIndex &cell)
{
    store::PlannedMeal moved = m_week->meal(ref);
    const QDate from = moved.day();
    moved.date = store::planDate(m_week->dayAt(cell));
    moved.meal = m_week->mealAt(cell);
    // The drop is still under way: the week is laid out again once it is over.
    QTimer::singleShot(0, this, [this, ref, moved, from] {
        write([&] { return m_week->change(ref, moved); }, {from, moved.day()});
    });
}

void frmPlan::removeMeal()
{
    const PlanWeek::Ref ref = current();
    if (!ref.isValid())
        return;
    const QModelIndex cell = m_grid->currentIndex();
    if (write([&] { return m_week->remove(ref), PlanWeek::Ref(); }, {m_week->meal(ref).day()}))
        m_grid->setCurrentIndex(m_week->index(std::min(cell.row(), m_week->rowCount() - 1), cell.column()));
}

void frmPlan::changeServings(int servings)
{
    const PlanWeek::Ref ref = current();
    if (!ref.isValid() || !m_week->meal(ref).isRecipe())
        return;
    store::PlannedMeal changed = m_week->meal(ref);
    changed.servings = servings > 0 ? QString::number(servings) : QString();
    if (changed != m_week->meal(ref))
        write([&] { return m_week->change(ref, changed); }, {changed.day()});
}

void frmPlan::toggleCooked()
{
    const PlanWeek::Ref ref = current();
    if (!ref.isValid())
        return showCurrent();
    store::PlannedMeal changed = m_week->meal(ref);
    changed.cooked = changed.cooked.isEmpty() ? store::planDate(QDate::currentDate()) : QString();
    write([&] { return m_week->change(ref, changed); }, {changed.day()});
}

void frmPlan::showCurrent()
{
    const PlanWeek::Ref ref = current();
    const bool planned = ref.isValid();
    const bool recipe = planned && m_week->meal(ref).isRecipe();
    const QSignalBlocker quiet(m_servings);
    m_servings->setValue(recipe ? m_week->meal(ref).servings.toInt() : 0);
    m_servings->setEnabled(recipe);
    m_cooked->setChecked(planned && !m_week->meal(ref).cooked.isEmpty());
    m_cooked->setEnabled(planned);
    m_open->setEnabled(recipe);
    m_remove->setEnabled(planned);
}

void frmPlan::openMeal()
{
    const PlanWeek::Ref ref = current();
    if (!ref.isValid() || !m_week->meal(ref).isRecipe())
        return;
    const store::PlannedMeal &meal = m_week->meal(ref);
    const int servings = meal.servings.isEmpty() ? -1 : meal.servings.toInt();
    if (!shell::ScreenRegistry::load<frmCook>()->openRecipe(meal.category, meal.recipe, servings)) {
        shell::msgBox(QStringLiteral("The recipe %1 in %2\rcould not be read: it may have been deleted or "
                                     "renamed since it was planned.")
                          .arg(meal.recipe, meal.category),
                      shell::MbSystemModal | shell::MbExclamation);
    }
}

void frmPlan::startShopping()
{
    m_shop->start(m_week);
    m_pages->setCurrentIndex(1);
}

void frmPlan::backToMain()
{
    shell::ScreenRegistry::hide(this);
    shell::ScreenRegistry::show(shell::kMainMenu);
}
