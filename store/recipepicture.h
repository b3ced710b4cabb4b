#pragma once

#include "store/io/textfile.h"

#include <QByteArray>
#include <QString>

/// A recipe's picture: a copy of an image file kept as Pictures/<category>/<recipe>.<jpg|png|webp> in the
/// application folder. Only JPEG, PNG and WebP files are taken, told by their first bytes, whatever their
/// name says.
namespace store {

inline const QString kPicturesFolder = QStringLiteral("Pictures");

/// Whether `bytes` begin as a JPEG, PNG or WebP file does, the pictures that are taken.
bool isPicture(const QByteArray &bytes);

/// The path of the recipe's picture; empty when it has none.
QString picturePath(const QString &category, const QString &recipe);

/// Copies the image file at `imageFile` as the recipe's picture, in place of any picture it had; written
/// as every save is (synced, put in place whole). The Pictures folder and the category's folder in it are
/// made when missing. 53 when the file is missing, 75 when it cannot be read, 52 when it is no JPEG, PNG
/// or WebP file (nothing changes then), 52 for an invalid category or recipe name, others as for
/// TextWriter.
void setPicture(const QString &category, const QString &recipe, const QString &imageFile);

/// Keeps `bytes` as the recipe's picture, as setPicture() keeps a file's, written as `durability` says (an
/// import puts its pictures on the disk together at the end). 52 when they are no JPEG, PNG or WebP image
/// or a name is invalid (nothing changes then), others as for TextWriter.
void setPictureData(const QString &category, const QString &recipe, const QByteArray &bytes,
                    Durability durability = Durability::Synced);

/// Moves the recipe's picture to the trash (store/fileops.h); nothing when it has none. 70 when it is
/// read-only or the removal is refused.
void removePicture(const QString &category, const QString &recipe);

} // namespace store
