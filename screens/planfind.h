#pragma once

#include "screens/planweek.h"
#include "store/recipeindex.h"
#include "store/slicedrefresh.h"

#include <QAbstractListModel>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;

/// The recipes a search in the meal plan found, made as the list shows them; each can be dragged onto the
/// week.
class PlanResults : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    void setFound(store::RecipeIndex::Found found);
    qsizetype foundCount() const { return m_found.size(); }
    QString category(int row) const { return m_found.category(row); }
    QString name(int row) const { return m_found.name(row); }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_rows); }
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override { return {kRecipeMime}; }
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

private:
    static constexpr qsizetype kRowsAtOnce = 200;
    store::RecipeIndex::Found m_found;
    qsizetype m_rows = 0;
};

/// The meal plan's search: the words typed into Find, the recipes found (the same index and words as the find
/// window), and the buttons that plan the chosen one or the words themselves.
class PlanFinder : public QWidget
{
    Q_OBJECT

public:
    explicit PlanFinder(QWidget *parent = nullptr);

    /// Reads the recipes that changed since the last search and searches again.
    void search();
    /// The recipe chosen in the results; false when there is none.
    bool chosen(QString *category, QString *name) const;
    /// The words typed into Find, blanks collapsed.
    QString words() const;

signals:
    /// Add, or Enter or a double-click in the results.
    void addClicked();
    void addTextClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showFound();

    PlanResults *m_found;
    store::RecipeIndex m_index;
    store::SlicedRefresh m_refresh;
    QLineEdit *m_find;
    QLabel *m_count;
    QListView *m_results;
};
