#pragma once

#include "store/recipedraft.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

/// The recipe window's edit page: the name, the category, any number of ingredient rows, the cooking
/// boxes, the directions, a note and the source. It hands back what the user left untouched exactly as it
/// was given, so that a save writes unchanged fields byte for byte.
class CookEditor : public QWidget
{
    Q_OBJECT

public:
    explicit CookEditor(QWidget *parent = nullptr);

    /// Fills every box; `categories` are offered, `category` chosen.
    void fill(const QString &name, const QString &category, const QStringList &categories,
              const store::RecipeDraft &draft);
    QString name() const;
    QString category() const;
    /// The draft as the boxes hold it.
    store::RecipeDraft draft() const;

signals:
    void saveClicked();
    void cancelClicked();

private:
    void keepOneEmptyRow();
    /// `box`'s text, or `given` when the box still shows what it was given.
    QString textOf(const QLineEdit *box, const QString &given) const;

    QLineEdit *m_name;
    QComboBox *m_category;
    QTableWidget *m_rows;
    QLineEdit *m_servings;
    QLineEdit *m_hours;
    QLineEdit *m_minutes;
    QLineEdit *m_temperature;
    QPlainTextEdit *m_directions;
    QLineEdit *m_note;
    QLineEdit *m_source;
    store::RecipeDraft m_given;
    QString m_directionsShown; ///< the directions as the box read them back when filled
};
