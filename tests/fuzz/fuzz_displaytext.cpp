// The text widgets' mapping between bytes and what they show, on any bytes and in
// every view: a text area's lines in the 8-bit set and in UTF-8, and the key
// field. Bytes shown and read back are the bytes again; `starts` rises with the
// characters, each character standing for its own bytes; a line cut at any offset
// moved on by characterTail shows in two runs as the whole line does, so no
// character shown as itself is cut in two; the key field shows a single line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <QString>
#include <QStringView>

#include "fuzzinput.h"
#include "ui/text/displaytext.h"

namespace dt = lorimand::displaytext;
using lorimand::fuzz::require;

namespace {

// Where a character of the run starts at `offset` or next after it.
[[nodiscard]] std::size_t boundaryFrom(const dt::ShownRun &run, std::size_t offset)
{
    if (run.starts.empty()) {
        return offset; // the 8-bit set: every byte is a character
    }
    return *std::lower_bound(run.starts.begin(), run.starts.end(), offset);
}

// Each character reads back as the bytes `starts` gives it.
void checkStarts(std::string_view bytes, const dt::ShownRun &run)
{
    const auto size = static_cast<std::size_t>(run.text.size());
    require(run.starts.size() == size + 1, "one start for each character shown, then the end");
    require(run.starts.front() == 0 && run.starts.back() == bytes.size(),
            "the starts begin at the first byte and end past the last");
    for (std::size_t i = 0; i < size;) {
        const bool pair = run.text[static_cast<qsizetype>(i)].isHighSurrogate();
        const std::size_t next = i + (pair ? 2 : 1);
        require(next <= size, "a surrogate pair is shown whole");
        require(!pair || run.starts[i + 1] == run.starts[i],
                "both halves of a pair start at the same byte");
        require(run.starts[next] > run.starts[i], "each character stands for bytes of its own");
        std::string back;
        dt::appendBytes(QStringView(run.text).sliced(static_cast<qsizetype>(i),
                                                     static_cast<qsizetype>(next - i)),
                        back, dt::Charset::Utf8);
        require(back == bytes.substr(run.starts[i], run.starts[next] - run.starts[i]),
                "a character reads back as the bytes its start gives it");
        i = next;
    }
}

// A text area cuts a long line into blocks, moving the cut past the rest of a
// UTF-8 character it would split.
[[nodiscard]] std::size_t cutAt(std::string_view bytes, std::size_t offset, dt::Charset charset)
{
    return offset + (charset == dt::Charset::Utf8 ? dt::characterTail(bytes, offset) : 0);
}

void checkLine(std::string_view bytes, dt::Charset charset)
{
    const dt::ShownRun run = dt::shownRun(bytes, charset);
    std::string back;
    dt::appendBytes(run.text, back, charset);
    require(back == bytes, "a line's bytes shown in a text area read back as the same bytes");
    if (charset == dt::Charset::Utf8) {
        checkStarts(bytes, run);
    } else {
        require(static_cast<std::size_t>(run.text.size()) == bytes.size() && run.starts.empty(),
                "in the 8-bit set each byte shows as one character");
    }

    for (std::size_t offset = 0; offset <= bytes.size(); ++offset) {
        const std::size_t cut = cutAt(bytes, offset, charset);
        require(cut == boundaryFrom(run, offset),
                "a cut moves on to the next character's start, and no further");
        // The area reads only the bytes around a cut.
        const std::size_t from = offset - std::min<std::size_t>(offset, 3);
        const std::string_view around = bytes.substr(from, offset + 3 - from);
        require(from + cutAt(around, offset - from, charset) == cut,
                "three bytes either side settle a cut");
    }
    // Each cut reads the whole line again: a few of them on a long input.
    const std::size_t step = 1 + bytes.size() / 32;
    for (std::size_t offset = 0; offset <= bytes.size(); offset += step) {
        const std::size_t cut = cutAt(bytes, offset, charset);
        const QString joined = dt::shownRun(bytes.substr(0, cut), charset).text +
                               dt::shownRun(bytes.substr(cut), charset).text;
        require(joined == run.text, "a line cut in two shows as the whole line does");
    }
}

// The lines of a text as a text area holds them: an LF ends a line, and a CR
// before it belongs to the line break.
void checkTextArea(std::string_view bytes, dt::Charset charset)
{
    for (std::size_t start = 0;;) {
        const std::size_t lf = bytes.find('\n', start);
        std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        if (lf != std::string_view::npos && end > start && bytes[end - 1] == '\r') {
            --end;
        }
        checkLine(bytes.substr(start, end - start), charset);
        if (lf == std::string_view::npos) {
            return;
        }
        start = lf + 1;
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
