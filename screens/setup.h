#pragma once

#include "shell/screen.h"

#include <QStringList>

#include <memory>

class QListWidgetItem;

namespace Ui {
class frmSetup;
}

namespace shell {
class HoverHints;
}

/// The category setup screen: creates a category (its folder and its line in the category list) and
/// deletes one (its lines and its folder with every recipe in it).
class frmSetup : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmSetup(QWidget *parent = nullptr);
    ~frmSetup() override;

protected:
    void load() override;

private:
    enum class Mode { Create, Delete };

    void createCategory();
    void deleteCategory();
    void cancelCreate();
    void cancelDelete();
    void pickCategory(QListWidgetItem *item);
    void goToMain();

    void setMode(Mode mode);
    void showCategories(const QStringList &names);
    void addCreated(const QString &name);

    const std::unique_ptr<Ui::frmSetup> m_ui;
    shell::HoverHints *const m_hints;
    int m_nameLength = 0;
    bool m_sorted = false; ///< whether the list is sorted, as it is from the first Create on
};
