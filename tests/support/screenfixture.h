#pragma once

#include "shell/screen.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QPoint>
#include <QStringList>

#include <functional>

namespace testing {

/// One screen test's world: a fresh application folder, scripted message boxes, a screen session and the
/// screen under test, driven through its controls by object name. A control that is missing ends the run; a
/// box that no answer was queued for fails the test when the fixture ends.
struct ScreenFixture
{
    AppFolder folder;
    MessageScript script;
    ScreenSession session;
    shell::Screen *screen = nullptr;

    ScreenFixture();
    ~ScreenFixture();

    /// Makes T the screen under test, shown through the registry by the step "show", so that its load runs as
    /// in the program.
    template <class T>
    void use()
    {
        shell::ScreenRegistry::add<T>();
        m_name = shell::ScreenRegistry::nameOf<T>();
    }

    template <class W = QWidget>
    W *get(const QString &name) const
    {
        W *control = screen->findChild<W *>(name);
        if (!control)
            qFatal("no control %s", qPrintable(name));
        return control;
    }

    /// Does what the user does, step after step, the steps separated by " > ":
    /// - "show" shows the screen (again); "answer 1" queues the answer to the next box;
    /// - "click control" a left click at its centre, "click control@x,y" at that point (a negative coordinate
    ///   counts from the far edge; "@x,y" alone is a point of the screen itself);
    /// - "type control=text" types the text, each "\n" a press of Return; "key control=Home" presses a key;
    /// - "pick list=entry" clicks the entry (the blank corner below the entries when empty) or, in a combo
    ///   box, chooses it; "menu key" chooses the menu item;
    /// - "set control=text" puts the text in the box without typing; "check box" checks it without its
    ///   handler running, as if the user's click had not yet been answered;
    /// - "hover place place..." moves the mouse to each place as "click" takes it ("." stays) and reads the
    ///   labels in hintLabels after each move;
    /// - "write path=text" (its folder made if need be), "mkdir path", "remove path" (a file or a folder) and
    ///   "read-only path" change the application folder, also behind the screen's back.
    void run(const QString &steps);

    /// What the screen shows, a value per key, " / " between them and "-" for nothing. The keys, separated by
    /// blanks ("_" stands for a blank in a path):
    /// - "report" the code and number the error report shows in place of the screen (nothing while it does
    ///   not), "hints" the hint labels read by each hover, "boxes" the boxes shown as "flags title: prompt" ("+"
    ///   between them);
    /// - "screen" and "main" whether the screen and the main menu are "shown", "focus" the control that has the
    ///   focus;
    /// - "dir:folder" the names in a folder of the application folder ("|" between them), "trash" those in the
    ///   trash, "file:path" the text of a file;
    /// - a control's name its text, a list's entries ("|" between them, "*" before a combo box's current one),
    ///   a check box's state ("checked" or "unchecked", then ", disabled").
    QString state(const QString &keys) const;
    /// Runs the current row's steps and compares the state of its keys with what it shows: the row's cells are
    /// "steps; keys; shown".
    void runRow();
    /// Keys of a screen's own: the value of a key, or a null text for a key it does not know.
    std::function<QString(const QString &key)> ownKeys = [](const QString &) { return QString(); };
    /// The labels a hover reads.
    QStringList hintLabels;

private:
    QWidget *place(const QString &place, QPoint &at) const;
    QString m_name;
    QStringList m_hints;
};

} // namespace testing
