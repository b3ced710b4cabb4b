#include "shell/screen.h"

#include "shell/appearance.h"

#include <QCoreApplication>

namespace shell {

namespace {

struct Registry
{
    QList<QPair<QString, Screen *>> loaded;
    std::function<void()> quit = [] { QCoreApplication::quit(); };
};

Registry &registry()
{
    static Registry r;
    return r;
}

} // namespace

Screen::Screen(QWidget *parent) : QWidget(parent)
{
    // Set before the screen's controls are made, so that each of them starts from it.
    setPalette(lightPalette());
}

QHash<QString, ScreenRegistry::Factory> &ScreenRegistry::s_factories()
{
    static QHash<QString, Factory> factories;
    return factories;
}

void ScreenRegistry::add(const QString &name, Factory factory)
{
    s_factories().insert(name, std::move(factory));
}

Screen *ScreenRegistry::find(const QString &name)
{
    for (const auto &[loadedName, screen] : registry().loaded) {
        if (loadedName == name)
            return screen;
    }
    return nullptr;
}

Screen *ScreenRegistry::load(const QString &name)
{
    if (Screen *screen = find(name))
        return screen;
    const auto factory = s_factories().constFind(name);
    if (factory == s_factories().constEnd())
        return nullptr;
    Screen *screen = (*factory)();
    if (screen->objectName().isEmpty())
        screen->setObjectName(name);
    registry().loaded.append({name, screen});
    screen->m_loading = true;
    screen->load();
    screen->m_loading = false;
    return screen;
}

void ScreenRegistry::show(const QString &name)
{
    Screen *screen = load(name);
    if (!screen)
        return;
    if (screen->m_hiddenWhileLoading) {
        screen->m_hiddenWhileLoading = false;
        return;
    }
    screen->show();
    screen->raise();
    screen->activateWindow();
}

void ScreenRegistry::hide(const QString &name)
{
    if (Screen *screen = find(name))
        hide(screen);
}

void ScreenRegistry::hide(Screen *screen)
{
    if (screen->m_loading)
        screen->m_hiddenWhileLoading = true;
    screen->hide();
}

QList<Screen *> ScreenRegistry::loaded()
{
    QList<Screen *> screens;
    for (const auto &entry : registry().loaded)
        screens.append(entry.second);
    return screens;
}

void ScreenRegistry::unloadAll()
{
    // The caller is usually a handler of one of these screens, so they are destroyed once it returns.
    const auto screens = std::exchange(registry().loaded, {});
    for (const auto &entry : screens) {
        entry.second->hide();
        entry.second->deleteLater();
    }
    registry().quit();
}

void ScreenRegistry::setQuitFunction(std::function<void()> quit)
{
    registry().quit = quit ? std::move(quit) : [] { QCoreApplication::quit(); };
}

} // namespace shell
