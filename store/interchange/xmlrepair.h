#pragma once

#include <QByteArray>
#include <QIODevice>

#include <memory>

namespace store::interchange {

/// The XML of `source` as UTF-8, read a block at a time: from Windows-1252 when not `utf8`, and with each
/// "&" that XML would not read made into what it reads as the same text when `repair`: a bare "&" is
/// "&amp;", a name of HTML's such as "&frac12;" its character's number ("&#189;"); "&amp;", "&lt;",
/// "&gt;", "&quot;", "&apos;" and numbered characters stay as they are. Files written by hand or by
/// older programs hold both.
class RepairedXml : public QIODevice
{
public:
    RepairedXml(std::unique_ptr<QIODevice> source, bool utf8, bool repair);

    bool isSequential() const override { return true; }
    bool atEnd() const override;

protected:
    qint64 readData(char *data, qint64 most) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool fill();
    void repairUpTo(qsizetype end);

    std::unique_ptr<QIODevice> m_source;
    const bool m_utf8;
    const bool m_repair;
    bool m_ended = false;
    QByteArray m_text; ///< UTF-8 read, not yet repaired
    QByteArray m_out;  ///< repaired, not yet read
    qsizetype m_outAt = 0;
};

} // namespace store::interchange
