#include "store/io/writebatch.h"

namespace store {

namespace {

thread_local WriteBatch *t_current = nullptr;

} // namespace

WriteBatch::WriteBatch(int timeoutMs) : m_lock(timeoutMs), m_outer(t_current)
{
    t_current = this;
}

WriteBatch::~WriteBatch()
{
    t_current = m_outer;
}

WriteBatch *WriteBatch::current()
{
    return t_current;
}

std::optional<WriteBatch::Folder> WriteBatch::folder(const QByteArray &path) const
{
    const auto known = m_folders.constFind(path);
    if (known == m_folders.cend())
        return std::nullopt;
    return *known;
}

void WriteBatch::setFolder(const QByteArray &path, Folder folder)
{
    m_folders.insert(path, folder);
}

} // namespace store
