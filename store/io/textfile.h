#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>

class QIODevice;

namespace store {
class WriteLock;
}

/// Reading and writing Larderon's text files.
///
/// In memory a line break is "\n", as in Qt's text widgets. On disk lines end with CR LF and text is
/// UTF-8 without a byte-order mark. Reading accepts CR LF, LF or CR alone, and takes a file that is not
/// valid UTF-8 as Windows-1252, the code page that older data files were written in.
namespace store {

/// Reads a text file line by line, field by field or whole. The file is read and closed when the reader
/// is made; nothing stays open.
class TextReader
{
public:
    /// Reads the file at `path`. 53 when it is missing, 76 when its folder is missing, 75 when `path` is
    /// a folder or cannot be read, also when its folder may not be read.
    static TextReader open(const QString &path);
    /// Reads everything left on `device`, which must be open for reading. 75 when reading fails.
    static TextReader fromDevice(QIODevice &device);
    explicit TextReader(QString text);

    /// True when nothing is left to read.
    bool atEnd() const { return m_pos >= m_text.size(); }

    /// The next line without its line break. 62 at the end of the file.
    QString readLine();

    /// The next delimited field. Blanks before it are skipped. A field that begins with a double quote
    /// runs to the closing quote (a doubled quote inside stands for one quote; commas and line breaks
    /// belong to the field) and anything up to the next comma or line end is skipped. Any other field runs
    /// to the next comma or line end, without the blanks around it. The comma or line end after a field
    /// is consumed with it. 62 at the end of the file.
    QString readField();
    /// The next delimited field as readField() reads it, as a view: of the file's text when the field reads
    /// as it is written, else of `scratch`, which is then made to hold it. The view lasts until the next
    /// read or a change of `scratch`. 62 at the end of the file.
    QStringView readFieldView(QString &scratch);
    /// Passes over the next delimited field as readField() would read it, without making its text.
    /// 62 at the end of the file.
    void skipField();

    /// Everything not read yet, line breaks as "\n".
    QString readAll();

private:
    bool atLineEnd(qsizetype pos) const;
    /// Moves past the field at the reading place and returns its text, as a view of the file's text or,
    /// when the field does not read as it is written, of `built` (made to hold it when given).
    QStringView passField(QString *built);
    void skipLineEnd();

    QString m_text;
    qsizetype m_pos = 0;
};

/// Whether a write is on the disk when it returns.
enum class Durability {
    Synced,   ///< on the disk: the written file is synced before it is renamed into place, its folder after
    Deferred, ///< left to the system; a bulk write calls syncFolder() (store/fileops.h) once at its end
};

/// Writes a text file. The text goes to a sibling file that commit() renames over the file, so a file is
/// replaced only when commit() succeeds: until then, and after any failure, the old file stays whole. A
/// writer destroyed without commit() leaves the file as it was and removes the sibling. The sibling lies
/// in the work folder (store/appfolder.h), where no listing looks, unless the file lies on another file
/// system; then it lies beside the file. A new file (Create) is written without a name in its own folder
/// where the system allows it (O_TMPFILE), and given its name by commit(). A writer holds the write lock
/// (store/writelock.h) from its making to the end of commit(), and is used on the thread that made it.
class TextWriter
{
public:
    enum Mode {
        Replace, ///< the file gets exactly what is written
        Append,  ///< the file keeps its text (converted to UTF-8) and gets what is written after it
        Create,  ///< a new file: commit() fails with 58 and changes nothing when something of that name exists
    };

    /// Opens `path` for writing. 76 when its folder is missing, 70 when the folder may not be written,
    /// 61 when the disk is full, 75 when another copy of the program holds the write lock. When `path` is
    /// a folder or a read-only file, 75 comes from commit(), or here when appending.
    /// A Deferred writer leaves the file to the batch's syncFolder() (store/fileops.h).
    TextWriter(const QString &path, Mode mode, Durability durability = Durability::Synced);
    /// Writes to `device`, which must be open for writing; commit() only checks for failures.
    explicit TextWriter(QIODevice &device);
    ~TextWriter();
    TextWriter(const TextWriter &) = delete;
    TextWriter &operator=(const TextWriter &) = delete;

    /// The text and a line break. Writing to a file keeps the text until commit(); writing to a device
    /// writes at once, 61 when that fails.
    void writeLine(const QString &text);
    /// Each field in double quotes (a quote inside doubled), separated by commas, then a line break.
    /// 61 when the write fails.
    void writeQuotedFields(const QStringList &fields);
    /// Puts the written text in place of the file and, when synced, on the disk. 61 when it cannot be
    /// written (the disk is full), 70 when the folder may not be written, 75 when it cannot be put in
    /// place; the file stays as it was then. A failure to sync the folder after the rename is reported
    /// the same way, with the new text already in place.
    void commit();
    /// Bytes written as they are, for a file that is not text (a recipe's picture, a cache of the find index).
    void writeBytes(const QByteArray &bytes);

private:
    void write(const QString &text);
    void openSibling(const QByteArray &folder);
    void putInPlace();

    QString m_target;         ///< the file, as the store names it
    QByteArray m_path;        ///< the file, as the file system names it
    QByteArray m_siblingName; ///< the file commit() writes the text to and renames over the file
    int m_sibling = -1;       ///< open on the sibling until commit()
    bool m_unnamed = false;   ///< the sibling is a new file without a name (m_siblingName reaches it)
    QByteArray m_text;        ///< what was written, until commit()
    Mode m_mode = Replace;
    bool m_replacedChecked = false;        ///< the file in place was looked at when the writer opened
    std::optional<unsigned> m_permissions; ///< those of the file that is replaced
    Durability m_durability = Durability::Synced;
    std::unique_ptr<WriteLock> m_lock; ///< held until commit() ends
    QIODevice *m_device = nullptr;
};

} // namespace store
