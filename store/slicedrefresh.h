#pragma once

#include "store/recipeindex.h"

#include <QTimer>

#include <functional>

namespace store {

/// Reads a RecipeIndex's refresh in slices of about 30 ms, one per turn of the event loop, so that a window
/// answers between slices while thousands of recipes are read. The find window and the meal plan's search
/// both read their index this way.
class SlicedRefresh
{
public:
    /// `more` after each slice that leaves recipes to read (to show how far the reading is), `done` once the
    /// refresh is over and the index holds what it read.
    SlicedRefresh(RecipeIndex &index, std::function<void()> more, std::function<void()> done);

    /// Starts a refresh and reads its first slice at once. Nothing while one is under way: what is asked
    /// for then is answered when it is done.
    void start();

private:
    void readSlice();

    RecipeIndex &m_index;
    std::function<void()> m_more;
    std::function<void()> m_done;
    QTimer m_slices;
};

} // namespace store
