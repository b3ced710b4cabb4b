#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

namespace shell {

/// A window of the program. Each screen exists once: it is created and loaded on its first show, hidden
/// rather than destroyed afterwards, and destroyed only when the program ends. It draws with the light
/// palette of shell::lightPalette(), whatever the desktop's theme.
class Screen : public QWidget
{
    Q_OBJECT

public:
    explicit Screen(QWidget *parent = nullptr);

protected:
    /// The screen's load steps. Runs once, when the screen is first shown.
    virtual void load() {}

private:
    friend class ScreenRegistry;
    bool m_loading = false;
    bool m_hiddenWhileLoading = false;
};

/// The name the main menu is registered under: the screen every other screen goes back to.
inline const QString kMainMenu = QStringLiteral("frmMain");

/// The program-wide collection of loaded screens. Screens are known by their class name ("frmSetup"),
/// so that the shared pieces can show the main menu or the error report without knowing those classes.
class ScreenRegistry
{
public:
    using Factory = std::function<Screen *()>;

    /// Makes the screen `name` known; its factory runs on the first show.
    static void add(const QString &name, Factory factory);
    template <class T>
    static void add()
    {
        add(nameOf<T>(), [] { return new T; });
    }

    /// The loaded screen of that name, or null when it is not loaded.
    static Screen *find(const QString &name);
    template <class T>
    static T *find()
    {
        return static_cast<T *>(find(nameOf<T>()));
    }

    /// The screen of that name, created and loaded first if need be; null for an unknown name.
    static Screen *load(const QString &name);
    template <class T>
    static T *load()
    {
        if (!s_factories().contains(nameOf<T>()))
            add<T>();
        return static_cast<T *>(load(nameOf<T>()));
    }

    /// Loads the screen if need be and shows it modeless, on top. A screen that hid itself during its
    /// load (its load failed) stays hidden. Unknown names do nothing.
    static void show(const QString &name);
    template <class T>
    static T *show()
    {
        T *screen = load<T>();
        show(nameOf<T>());
        return screen;
    }

    /// Hides a loaded screen; does nothing when it is not loaded.
    static void hide(const QString &name);
    static void hide(Screen *screen);

    /// The loaded screens, in the order they were loaded.
    static QList<Screen *> loaded();

    /// Destroys every loaded screen, hidden ones included, and ends the program through the quit function.
    static void unloadAll();

    /// The function unloadAll() ends the program with; tests replace it to observe the end.
    static void setQuitFunction(std::function<void()> quit);

    template <class T>
    static QString nameOf()
    {
        return QString::fromLatin1(T::staticMetaObject.className());
    }

private:
    static QHash<QString, Factory> &s_factories();
};

} // namespace shell
