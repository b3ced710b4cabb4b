#include "screens/planweek.h"

#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/io/failure.h"

#include <QFont>
#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QPalette>

namespace {

constexpr int kDays = 7;

QString cellText(const store::PlannedMeal &meal, bool missing)
{
    QStringList notes;
    if (!meal.servings.isEmpty())
        notes << (meal.servings == QLatin1String("1") ? QStringLiteral("1 serving")
                                                      : QStringLiteral("%1 servings").arg(meal.servings));
    if (const QDate cooked = meal.cookedOn(); cooked.isValid())
        notes << QStringLiteral("cooked %1").arg(QLocale().toString(cooked, QStringLiteral("d MMM")));
    else if (!meal.cooked.isEmpty())
        notes << QStringLiteral("cooked");
    if (missing)
        notes << QStringLiteral("missing");
    return notes.isEmpty() ? meal.recipe : meal.recipe + u'\n' + notes.join(QStringLiteral(" \u00b7 "));
}

QString askForMeal(QWidget *parent)
{
    return QInputDialog::getText(parent, QStringLiteral("Add meal"),
                                 QStringLiteral("A meal of your own, such as Snack or Brunch:"));
}

WeekGrid::MealAsker &mealAsker()
{
    static WeekGrid::MealAsker asker = &askForMeal;
    return asker;
}

} // namespace

PlanWeek::PlanWeek(QObject *parent) : QAbstractTableModel(parent)
{
}

QDate PlanWeek::firstDayFor(QDate date)
{
    const int first = QLocale().firstDayOfWeek();
    return date.addDays(-((date.dayOfWeek() - first + kDays) % kDays));
}

void PlanWeek::showWeek(QDate date)
{
    if (firstDayFor(date) != m_first)
        m_shown.clear();
    m_first = firstDayFor(date);
    m_plan.read(m_first, kDays);
    layOut();
}

void PlanWeek::reread()
{
    m_plan.clear();
    m_missing.clear();
    if (m_first.isValid())
        showWeek(m_first);
}

void PlanWeek::layOut()
{
    beginResetModel();
    // The meals in order: those of every day, then the user's own words as they first came.
    QStringList meals = store::kDayMeals + m_shown;
    QList<QHash<QString, QList<Ref>>> byDay(kDays); // the meals of each day, by the meal's word in `meals`
    for (int day = 0; day < kDays; ++day) {
        for (const Ref ref : m_plan.mealsOn(m_first.addDays(day))) {
            const QString &word = m_plan.meal(ref).meal;
            qsizetype at = meals.indexOf(word);
            if (at < 0) {
                at = std::find_if(meals.cbegin(), meals.cend(),
                                  [&word](const QString &each) { return !each.compare(word, Qt::CaseInsensitive); }) -
                     meals.cbegin();
                if (at == meals.size())
                    meals.append(word);
            }
            byDay[day][meals.at(at)].append(ref);
        }
    }
    m_shown = meals.mid(store::kDayMeals.size());
    m_rows.clear();
    m_cells.clear();
    for (const QString &meal : std::as_const(meals)) {
        qsizetype dishes = 1;
        for (const auto &day : std::as_const(byDay))
            dishes = std::max(dishes, day.value(meal).size());
        for (int dish = 0; dish < dishes; ++dish) {
            m_rows.append({meal, dish});
            QList<Ref> cells;
            for (const auto &day : std::as_const(byDay))
                cells.append(day.value(meal).value(dish));
            m_cells.append(cells);
        }
    }
    endResetModel();
}

int PlanWeek::addMeal(const QString &word)
{
    const auto rowOf = [this, &word] {
        for (int row = 0; row < m_rows.size(); ++row) {
            if (!m_rows.at(row).meal.compare(word, Qt::CaseInsensitive))
                return row;
        }
        return -1;
    };
    if (const int row = rowOf(); row >= 0)
        return row;
    m_shown.append(word);
    layOut();
    return rowOf();
}

QString PlanWeek::mealAt(const QModelIndex &index) const
{
    return index.isValid() ? m_rows.at(index.row()).meal : QString();
}

PlanWeek::Ref PlanWeek::refAt(const QModelIndex &index) const
{
    return index.isValid() ? m_cells.at(index.row()).at(index.column()) : Ref();
}

QModelIndex PlanWeek::indexOf(Ref ref) const
{
    for (int row = 0; row < m_cells.size(); ++row) {
        if (const qsizetype column = m_cells.at(row).indexOf(ref); column >= 0 && ref.isValid())
            return index(row, int(column));
    }
    return {};
}

QList<store::PlannedMeal> PlanWeek::mealsOn(QDate day) const
{
    QList<store::PlannedMeal> meals;
    for (const Ref ref : m_plan.mealsOn(day))
        meals.append(m_plan.meal(ref));
    return meals;
}

bool PlanWeek::isMissing(const store::PlannedMeal &meal) const
{
    if (!meal.isRecipe())
        return false;
    const QString key = store::recipeKey(meal.category, meal.recipe);
    auto known = m_missing.constFind(key);
    if (known == m_missing.constEnd()) {
        bool missing = true;
        try {
            missing = !store::fileExists(store::recipePath(meal.category, meal.recipe));
        } catch (const store::Failure &) {
            // A name that cannot be a file names no recipe.
        }
        known = m_missing.insert(key, missing);
    }
    return *known;
}

PlanWeek::Ref PlanWeek::add(const store::PlannedMeal &meal)
{
    const Ref added = m_plan.add(meal);
    layOut();
    return added;
}

PlanWeek::Ref PlanWeek::change(Ref ref, const store::PlannedMeal &changed)
{
    const Ref now = m_plan.change(ref, changed);
    layOut();
    return now;
}

void PlanWeek::remove(Ref ref)
{
    m_plan.remove(ref);
    layOut();
}

int PlanWeek::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PlanWeek::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kDays;
}

QVariant PlanWeek::data(const QModelIndex &index, int role) const
{
    const Ref ref = refAt(index);
    if (!ref.isValid()) {
        if (role == Qt::AccessibleTextRole)
            return QStringLiteral("%1, %2: nothing planned")
                .arg(QLocale().toString(dayAt(index), QStringLiteral("dddd")), mealAt(index));
        return {};
    }
    const store::PlannedMeal &planned = m_plan.meal(ref);
    switch (role) {
    case Qt::DisplayRole:
        return cellText(planned, isMissing(planned));
    case Qt::AccessibleTextRole:
        return QStringLiteral("%1, %2: %3")
            .arg(QLocale().toString(dayAt(index), QStringLiteral("dddd")), planned.meal,
                 cellText(planned, isMissing(planned)).replace(u'\n', QStringLiteral(", ")));
    case Qt::ToolTipRole:
        if (!planned.isRecipe())
            return QStringLiteral("%1 (no recipe)").arg(planned.recipe);
        if (isMissing(planned))
            return QStringLiteral("%1 is no longer in %2: deleted or renamed since it was planned")
                .arg(planned.recipe, planned.category);
        return QStringLiteral("%1 \u2014 %2").arg(planned.category, planned.recipe);
    case Qt::FontRole: {
        QFont font;
        font.setItalic(!planned.isRecipe() || isMissing(planned));
        return font;
    }
    case Qt::ForegroundRole:
        if (isMissing(planned))
            return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

QVariant PlanWeek::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section < m_rows.size())
            return m_rows.at(section).dish == 0 ? m_rows.at(section).meal : QString();
        return {};
    }
    const QDate day = m_first.addDays(section);
    if (role == Qt::DisplayRole) {
        const QString shown = QLocale().toString(day, QStringLiteral("ddd d MMM"));
        return failureOf(day) ? shown + QStringLiteral("\n(unreadable)") : shown;
    }
    if (role == Qt::FontRole && day == QDate::currentDate()) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return {};
}

Qt::ItemFlags PlanWeek::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (refAt(index).isValid())
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList PlanWeek::mimeTypes() const
{
    return {kPlannedMealMime, kRecipeMime};
}

QMimeData *PlanWeek::mimeData(const QModelIndexList &indexes) const
{
    const Ref ref = indexes.isEmpty() ? Ref() : refAt(indexes.first());
    if (!ref.isValid())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(kPlannedMealMime, (store::planDate(ref.week) + u'\n' + QString::number(ref.index)).toUtf8());
    data->setText(m_plan.meal(ref).recipe);
    return data;
}

bool PlanWeek::dropMimeData(const QMimeData *data, Qt::DropAction, int row, int column, const QModelIndex &parent)
{
    const QModelIndex cell = parent.isValid() ? parent : index(row, column);
    if (!cell.isValid())
        return false;
    if (data->hasFormat(kPlannedMealMime)) {
        const QStringList parts = QString::fromUtf8(data->data(kPlannedMealMime)).split(u'\n');
        const Ref ref{QDate::fromString(parts.value(0), Qt::ISODate), parts.value(1).toInt()};
        if (ref.isValid() && ref != refAt(cell))
            emit mealDropped(ref, cell);
        return true;
    }
    if (data->hasFormat(kRecipeMime)) {
        const QStringList parts = QString::fromUtf8(data->data(kRecipeMime)).split(u'\n');
        if (parts.size() == 2)
            emit recipeDropped(parts.at(0), parts.at(1), cell);
        return true;
    }
    return false;
}

WeekGrid::WeekGrid(QWidget *parent) : QTableView(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDragDropOverwriteMode(true);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Bold in the headers is today's date alone, not the chosen cell's day and meal.
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setMinimumSectionSize(fontMetrics().height() * 3);
    auto *addMeal = new QAction(QStringLiteral("Add meal..."), this);
    addMeal->setToolTip(QStringLiteral("Adds a row for a meal of your own, such as Snack or Brunch"));
    connect(addMeal, &QAction::triggered, this, &WeekGrid::addMeal);
    addAction(addMeal);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void WeekGrid::setMealAsker(MealAsker asker)
{
    mealAsker() = asker ? std::move(asker) : MealAsker(&askForMeal);
}

void WeekGrid::addMeal()
{
    auto *week = qobject_cast<PlanWeek *>(model());
    const QString word = mealAsker()(this).simplified();
    if (!week || word.isEmpty())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(week->index(week->addMeal(word), column));
    setFocus();
}

void WeekGrid::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit enterPressed();
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        emit deletePressed();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}
