#pragma once

#include "shell/screen.h"

#include <functional>
#include <memory>

class QListWidgetItem;
class QPrinter;

namespace Ui {
class frmShop;
}

/// The shopping list screen: free-text lists written, saved under a name in the Shopping List folder,
/// opened, deleted and printed, with a calendar to look at while writing.
class frmShop : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmShop(QWidget *parent = nullptr);
    ~frmShop() override;

    /// The printer set-up dialog Print shows: it may change `printer` and returns false when cancelled.
    using PrintDialog = std::function<bool(QPrinter &printer, QWidget *parent)>;
    /// Replaces the dialog (tests answer it without a window); an empty function brings QPrintDialog back.
    static void setPrintDialog(PrintDialog dialog);

    /// Where addLines() puts its lines.
    enum class Into {
        End,    ///< after the text in the list box
        NewList ///< in place of it, as a new list with an empty name; Undo in the box brings the text back
    };
    /// Shows this screen with `lines` in the list box, on lines of their own, and the name box open and
    /// focused, so that the list can be saved under a name. Nothing is written.
    void addLines(const QStringList &lines, Into into = Into::End);
    /// The text of the list box.
    QString listText() const;

protected:
    void load() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void newList();
    void saveList();
    void openList();
    void deleteList();
    void printList();
    void showMain();
    void showCalendar();
    void menuClick(int id);

    void setNameLocked(bool locked);
    QListWidgetItem *selectedFile() const;
    void setUpHints();

    const std::unique_ptr<Ui::frmShop> m_ui;
    std::unique_ptr<QPrinter> m_printer;
};
