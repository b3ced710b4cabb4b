#include "screens/cookedit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *box(QWidget *parent, const char *objectName, const QString &accessibleName, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1StringView(objectName));
    edit->setAccessibleName(accessibleName);
    edit->setMaxLength(maxLength);
    return edit;
}

QString cell(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

CookEditor::CookEditor(QWidget *parent)
    : QWidget(parent), m_name(box(this, "txtKEName", QStringLiteral("Name"), 40)), m_category(new QComboBox(this)),
      m_rows(new QTableWidget(0, 3, this)), m_servings(box(this, "txtKEServ", QStringLiteral("Serving size"), 32767)),
      m_hours(box(this, "txtKEHours", QStringLiteral("Hours"), 32767)),
      m_minutes(box(this, "txtKEMins", QStringLiteral("Minutes"), 32767)),
      m_temperature(box(this, "txtKETemp", QStringLiteral("Oven temperature"), 32767)),
      m_directions(new QPlainTextEdit(this)), m_note(box(this, "txtKENote", QStringLiteral("Note"), 32767)),
      m_source(box(this, "txtKESource", QStringLiteral("Source"), 32767))
{
    m_category->setObjectName(QStringLiteral("cboKECat"));
    m_category->setAccessibleName(QStringLiteral("Category"));
    m_rows->setObjectName(QStringLiteral("tblKERows"));
    m_rows->setAccessibleName(QStringLiteral("Ingredients"));
    m_rows->setHorizontalHeaderLabels(
        {QStringLiteral("Amount"), QStringLiteral("Measure"), QStringLiteral("Ingredient")});
    m_rows->horizontalHeader()->setStretchLastSection(true);
    m_rows->setTabKeyNavigation(true);
    // Typing into a cell edits it, as in a spreadsheet.
    m_rows->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                            QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_directions->setObjectName(QStringLiteral("txtKEDirec"));
    m_directions->setAccessibleName(QStringLiteral("Directions"));
    m_temperature->setToolTip(QStringLiteral("Degrees Fahrenheit"));

    auto *save = new QPushButton(QStringLiteral("Save"), this);
    save->setObjectName(QStringLiteral("cmdKESave"));
    save->setShortcut(QKeySequence::Save);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdKECancel"));

    auto *top = new QFormLayout;
    top->addRow(QStringLiteral("&Name:"), m_name);
    top->addRow(QStringLiteral("&Category:"), m_category);
    auto *cooking = new QHBoxLayout;
    for (const auto &[label, edit] : {std::pair{QStringLiteral("Ser&ves:"), m_servings},
                                      {QStringLiteral("&Hours:"), m_hours},
                                      {QStringLiteral("M&inutes:"), m_minutes},
                                      {QStringLiteral("&Oven °F:"), m_temperature}}) {
        auto *caption = new QLabel(label, this);
        caption->setBuddy(edit);
        cooking->addWidget(caption);
        cooking->addWidget(edit);
    }
    cooking->addStretch();
    auto *end = new QFormLayout;
    end->addRow(QStringLiteral("No&te:"), m_note);
    end->addRow(QStringLiteral("&Source:"), m_source);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);

    auto *page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(new QLabel(QStringLiteral("Ingredients (a new row opens below the last):"), this));
    page->addWidget(m_rows, 3);
    page->addLayout(cooking);
    page->addWidget(new QLabel(QStringLiteral("Directions:"), this));
    page->addWidget(m_directions, 2);
    page->addLayout(end);
    page->addLayout(buttons);

    connect(m_rows, &QTableWidget::itemChanged, this, &CookEditor::keepOneEmptyRow);
    connect(save, &QPushButton::clicked, this, [this] {
        // A cell still being typed into counts, also when Save is pressed with Ctrl+S from inside it.
        for (QWidget *editor : m_rows->viewport()->findChildren<QLineEdit *>())
            emit m_rows->itemDelegate()->commitData(editor);
        emit saveClicked();
    });
    connect(cancel, &QPushButton::clicked, this, &CookEditor::cancelClicked);
}

void CookEditor::fill(const QString &name, const QString &category, const QStringList &categories,
                      const store::RecipeDraft &draft)
{
    m_given = draft;
    m_name->setText(name);
    m_category->clear();
    m_category->addItems(categories);
    if (m_category->findText(category) < 0)
        m_category->addItem(category);
    m_category->setCurrentText(category);
    const QSignalBlocker quiet(m_rows);
    m_rows->setRowCount(0);
    m_rows->setRowCount(int(draft.rows.size()));
    for (int row = 0; row < draft.rows.size(); ++row) {
        const store::DraftRow &given = draft.rows.at(row);
        m_rows->setItem(row, 0, new QTableWidgetItem(given.amount));
        m_rows->setItem(row, 1, new QTableWidgetItem(given.measure));
        m_rows->setItem(row, 2, new QTableWidgetItem(given.ingredient));
    }
    m_rows->insertRow(m_rows->rowCount());
    m_servings->setText(draft.servingSize);
    m_hours->setText(draft.hours);
    m_minutes->setText(draft.minutes);
    m_temperature->setText(draft.temperature);
    m_directions->setPlainText(draft.directions);
    m_directionsShown = m_directions->toPlainText();
    m_note->setText(draft.note);
    m_source->setText(draft.source);
}

QString CookEditor::name() const
{
    return m_name->text().trimmed();
}

QString CookEditor::category() const
{
    return m_category->currentText();
}

QString CookEditor::textOf(const QLineEdit *box, const QString &given) const
{
    return box->text() == QString(given).replace(u'\n', u' ') ? given : box->text();
}

store::RecipeDraft CookEditor::draft() const
{
    store::RecipeDraft draft = m_given;
    draft.rows.clear();
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        const store::DraftRow typed{cell(m_rows, row, 0), cell(m_rows, row, 1), cell(m_rows, row, 2)};
        // An empty row that was given stays in its place; the empty row below the last is no row.
        if (!typed.isEmpty() || row < m_given.rows.size())
            draft.rows.append(typed);
    }
    draft.servingSize = textOf(m_servings, m_given.servingSize);
    draft.hours = textOf(m_hours, m_given.hours);
    draft.minutes = textOf(m_minutes, m_given.minutes);
    draft.temperature = textOf(m_temperature, m_given.temperature);
    draft.note = textOf(m_note, m_given.note);
    draft.source = textOf(m_source, m_given.source);
    const QString directions = m_directions->toPlainText();
    draft.directions = directions == m_directionsShown ? m_given.directions : directions;
    return draft;
}

void CookEditor::keepOneEmptyRow()
{
    const int last = m_rows->rowCount() - 1;
    if (last < 0 || !cell(m_rows, last, 0).isEmpty() || !cell(m_rows, last, 1).isEmpty() ||
        !cell(m_rows, last, 2).isEmpty())
        m_rows->insertRow(last + 1);
}
