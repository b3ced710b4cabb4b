#pragma once

#include <QRegularExpression>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <array>

namespace testing {

/// Adds a data-driven test's rows written as text: each row is its name and then its cells, separated by
/// ";", without the blanks around them. A test reads them with cells().
inline void addRows(std::initializer_list<const char *> rows)
{
    QTest::addColumn<QStringList>("cells");
    for (const char *row : rows) {
        QStringList cells = QString::fromUtf8(row).split(u';');
        for (QString &cell : cells)
            cell.remove(QRegularExpression(QStringLiteral("^ +| +$")));
        const QByteArray name = cells.takeFirst().toUtf8();
        QTest::newRow(name.constData()) << cells;
    }
}

/// The cells of the current row, for a structured binding: `const auto [name, count] = testing::cells<2>();`.
template <std::size_t N>
std::array<QString, N> cells()
{
    QFETCH(QStringList, cells);
    if (cells.size() != qsizetype(N))
        qFatal("the row has %d cells instead of %d", int(cells.size()), int(N));
    std::array<QString, N> values;
    std::copy(cells.begin(), cells.end(), values.begin());
    return values;
}

} // namespace testing
