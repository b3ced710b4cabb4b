#include "store/interchange/reader.h"

#include "store/interchange/jsonld.h"
#include "store/interchange/mastercook.h"
#include "store/interchange/mealmaster.h"
#include "store/io/failure.h"
#include "store/io/textcodec.h"
#include "store/io/textfile.h"

#include <QBuffer>

namespace store::interchange {

namespace {

// How much of a file tells its format, and the largest file of a format that is read whole: reading
// holds the file's text and what is parsed of it, a few times its size.
constexpr qint64 kHeadSize = 64 * 1024;
constexpr qint64 kWholeFileLimit = 64 * 1024 * 1024;

// A reader of one problem that stands for the whole file.
class ProblemReader : public RecipeReader
{
public:
    explicit ProblemReader(QString problem) : m_problem(std::move(problem)) {}

    std::optional<ReadItem> next() override
    {
        if (m_done)
            return std::nullopt;
        m_done = true;
        return ReadItem{1, m_problem, {}};
    }

    double progress() const override { return m_done ? 1.0 : 0.0; }

private:
    QString m_problem;
    bool m_done = false;
};

} // namespace

Format detectFormat(const QByteArray &head)
{
    QByteArray text = head;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    const QByteArray lower = text.toLower();
    if (lower.contains("<rcpe") || lower.contains("<mx2"))
        return Format::MasterCook;
    const QByteArray start = lower.trimmed().left(16);
    if (start.startsWith('{') || start.startsWith('['))
        return Format::JsonLd;
    if (lower.contains("application/ld+json") || start.startsWith("<!doctype html") || start.startsWith("<html"))
        return Format::WebPage;
    return Format::MealMaster;
}

std::unique_ptr<RecipeReader> makeReader(std::unique_ptr<QIODevice> device)
{
    const Format format = detectFormat(device->peek(kHeadSize));
    if (format == Format::MealMaster)
        return makeMealMasterReader(std::move(device));
    if (device->size() > kWholeFileLimit)
        return std::make_unique<ProblemReader>(
            QStringLiteral("the file is too large to be read (more than %1 MB)").arg(kWholeFileLimit / (1024 * 1024)));
    const QByteArray bytes = device->readAll();
    if (!device->atEnd())
        throw Failure(Failure::PathFileAccessError);
    switch (format) {
    case Format::MasterCook:
        return makeMasterCookReader(decodeMasterCook(bytes));
    case Format::JsonLd:
        return makeJsonLdReader(decodeText(bytes), false);
    case Format::WebPage:
    case Format::MealMaster:
        break;
    }
    return makeJsonLdReader(decodeText(bytes), true);
}

std::unique_ptr<RecipeReader> makeReader(const QByteArray &bytes)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return makeReader(std::move(buffer));
}

} // namespace store::interchange
