#include "screens/planfind.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

void PlanResults::setFound(store::RecipeIndex::Found found)
{
    beginResetModel();
    m_found = std::move(found);
    m_rows = std::min<qsizetype>(m_found.size(), kRowsAtOnce);
    endResetModel();
}

bool PlanResults::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_rows < m_found.size();
}

void PlanResults::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const qsizetype more = std::min<qsizetype>(m_found.size() - m_rows, kRowsAtOnce);
    beginInsertRows({}, int(m_rows), int(m_rows + more - 1));
    m_rows += more;
    endInsertRows();
}

QVariant PlanResults::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return QStringLiteral("%1 \u2014 %2").arg(m_found.name(index.row()), m_found.category(index.row()));
    return {};
}

Qt::ItemFlags PlanResults::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled : Qt::NoItemFlags;
}

QMimeData *PlanResults::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    auto *data = new QMimeData;
    const int row = indexes.first().row();
    data->setData(kRecipeMime, (category(row) + u'\n' + name(row)).toUtf8());
    data->setText(name(row));
    return data;
}

PlanFinder::PlanFinder(QWidget *parent)
    : QWidget(parent), m_found(new PlanResults(this)), m_refresh(m_index, {}, [this] { showFound(); }),
      m_find(new QLineEdit(this)), m_count(new QLabel(this)), m_results(new QListView(this))
{
    m_find->setObjectName(QStringLiteral("txtPWhat"));
    m_find->setAccessibleName(QStringLiteral("Find"));
    m_find->setPlaceholderText(QStringLiteral("Words of a recipe, or a meal such as Leftovers"));
    m_find->setClearButtonEnabled(true);
    m_count->setObjectName(QStringLiteral("lblPFound"));
    m_results->setObjectName(QStringLiteral("lstPFound"));
    m_results->setAccessibleName(QStringLiteral("Recipes found"));
    m_results->setModel(m_found);
    m_results->setDragEnabled(true);
    m_results->setDragDropMode(QAbstractItemView::DragOnly);
    m_results->setUniformItemSizes(true);
    m_results->installEventFilter(this);
    m_find->installEventFilter(this);
    setFocusProxy(m_find);

    auto *add = new QPushButton(QStringLiteral("Add"), this);
    add->setObjectName(QStringLiteral("cmdPAdd"));
    add->setToolTip(QStringLiteral("Plans the chosen recipe in the chosen cell of the week (Enter)"));
    auto *addText = new QPushButton(QStringLiteral("Add as text"), this);
    addText->setObjectName(QStringLiteral("cmdPText"));
    addText->setToolTip(QStringLiteral("Plans the words in Find as a meal that is no recipe, such as Leftovers"));
    auto *findLabel = new QLabel(QStringLiteral("&Find:"), this);
    findLabel->setBuddy(m_find);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(findLabel);
    column->addWidget(m_find);
    column->addWidget(m_count);
    column->addWidget(m_results, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(addText);
    column->addLayout(buttons);

    connect(m_find, &QLineEdit::textChanged, this, &PlanFinder::search);
    connect(m_results, &QAbstractItemView::doubleClicked, this, &PlanFinder::addClicked);
    connect(add, &QPushButton::clicked, this, &PlanFinder::addClicked);
    connect(addText, &QPushButton::clicked, this, &PlanFinder::addTextClicked);
}

void PlanFinder::search()
{
    // While the recipes are read, what the box holds when the reading is done is searched for then.
    m_refresh.start();
}

void PlanFinder::showFound()
{
    using store::RecipeIndex;
    m_found->setFound(m_index.find(m_find->text(), RecipeIndex::Names | RecipeIndex::Ingredients |
                                                       RecipeIndex::Directions));
    if (m_found->rowCount() > 0)
        m_results->setCurrentIndex(m_found->index(0));
    m_count->setText(QStringLiteral("Recipes found: %L1").arg(m_found->foundCount()));
}

bool PlanFinder::chosen(QString *category, QString *name) const
{
    const QModelIndex current = m_results->currentIndex();
    if (!current.isValid())
        return false;
    *category = m_found->category(current.row());
    *name = m_found->name(current.row());
    return true;
}

QString PlanFinder::words() const
{
    return m_find->text().simplified();
}

bool PlanFinder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        if (watched == m_find && key == Qt::Key_Down) {
            m_results->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (watched == m_results && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            emit addClicked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
