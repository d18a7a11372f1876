// The text widgets' mapping between bytes and what they show, on any bytes and in
// every view: a text area in the 8-bit set, a text area in UTF-8, and the key
// field. Bytes shown and read back are the bytes again; no block is longer than a
// chunk or ends inside a surrogate pair; the key field shows a single line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <QList>
#include <QString>
#include <QStringView>

#include "fuzzinput.h"
#include "ui/main/displaytext.h"

namespace dt = lorimand::displaytext;
using lorimand::fuzz::require;

namespace {

void checkTextArea(std::string_view bytes, dt::Charset charset)
{
    const dt::ShownText shown = dt::textFromBytes(bytes, charset);
    const QList<QStringView> blocks = QStringView(shown.text).split(u'\n');
    require(static_cast<std::size_t>(blocks.size()) == shown.breaks.size() + 1,
            "one kind of break for each break shown");

    std::string back;
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const QStringView block = blocks[i];
        require(block.size() <= dt::kChunkLength, "no block is longer than a chunk");
        if (i < blocks.size() - 1 &&
            shown.breaks[static_cast<std::size_t>(i)] == dt::LineBreak::Continuation) {
            require(block.isEmpty() || !block.back().isHighSurrogate(),
                    "a chunk never ends inside a surrogate pair");
        }
        dt::appendBytes(block, back, charset);
        if (i < blocks.size() - 1) {
            back += dt::breakBytes(shown.breaks[static_cast<std::size_t>(i)]);
        }
    }
    require(back == bytes, "bytes shown in a text area read back as the same bytes");

    require(dt::positionOfByte(shown, 0, charset) == 0, "the first byte is at the start");
    require(dt::positionOfByte(shown, bytes.size(), charset) == shown.text.size(),
            "past the last byte is the end");
    qsizetype previous = 0;
    for (std::size_t offset = 0; offset < bytes.size(); offset += 1 + bytes.size() / 16) {
        const qsizetype position = dt::positionOfByte(shown, offset, charset);
        require(position >= previous && position < shown.text.size(),
                "a later byte is never shown before an earlier one");
        previous = position;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = lorimand::fuzz::FuzzInput(data, size).rest();
    checkTextArea(bytes, dt::Charset::Windows1252);
    checkTextArea(bytes, dt::Charset::Utf8);

    const QString line = dt::lineFromBytes(bytes);
    require(!line.contains(u'\n') && !line.contains(u'\r'), "the key field shows one line");
    std::string back;
    dt::appendBytes(line, back);
    require(back == bytes, "bytes shown in the key field read back as the same bytes");
    return 0;
}
