#include "store/slicedrefresh.h"

namespace store {

namespace {

// A slice of reading, so that the window answers between slices while thousands of recipes are read.
constexpr int kSliceMs = 30;

} // namespace

SlicedRefresh::SlicedRefresh(RecipeIndex &index, std::function<void()> more, std::function<void()> done)
    : m_index(index), m_more(std::move(more)), m_done(std::move(done))
{
    m_slices.setSingleShot(true);
    m_slices.setInterval(0);
    QObject::connect(&m_slices, &QTimer::timeout, [this] { readSlice(); });
}

void SlicedRefresh::start()
{
    if (m_index.isRefreshing())
        return;
    m_index.beginRefresh();
    readSlice();
}

void SlicedRefresh::readSlice()
{
    if (!m_index.continueRefresh(kSliceMs)) {
        if (m_more)
            m_more();
        m_slices.start();
        return;
    }
    if (m_done)
        m_done();
}

} // namespace store
