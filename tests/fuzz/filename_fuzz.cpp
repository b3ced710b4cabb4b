// The store's name encoding on arbitrary bytes: every name decodes to a text that encodes to the same
// bytes, and is shown without a stand-in for an undecodable byte.

#include "store/filename.h"
#include "tests/fuzz/fuzzing.h"

using fuzzing::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    const QString name = store::decodeFileName(bytes);
    require(store::encodeFileName(name) == bytes);
    require(!store::displayName(name).contains(QChar::ReplacementCharacter) || bytes.contains("\xef\xbf\xbd"));
    return 0;
}
