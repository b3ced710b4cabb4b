#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

/// Zip archives and gzip data made for tests with libzip and zlib, from files the tests write: the test
/// data stays readable text, and each archive is made where the test needs it.
namespace testing {

struct ZipItem
{
    QString name;
    QByteArray bytes;
};

/// A zip archive of `items`, each deflated, in the order given; libzip writes whatever name it is given,
/// "../" and all.
QByteArray makeZip(const QList<ZipItem> &items);

/// Every file below the folder tests/data/<folder>, named by its path inside that folder, sorted: the items
/// of an archive made from a folder of test data.
QList<ZipItem> folderItems(const QString &folder);

/// `bytes` compressed as gzip.
QByteArray gzip(const QByteArray &bytes);

} // namespace testing
