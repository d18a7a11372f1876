#include "ui/text/layoutcheck.h"

#include <sstream>
#include <tuple>
#include <vector>

namespace lorimand::testing {

std::optional<std::string> differenceFromFresh(const LayoutCache &kept)
{
    LayoutCache fresh(kept.text());
    fresh.setCharset(kept.charset());
    fresh.setFont(kept.font());
    fresh.setWidth(kept.width());
    std::ostringstream out;
    if (kept.count() != fresh.count()) {
        out << "the cache counts " << kept.count() << " blocks, laid out afresh " << fresh.count();
        return out.str();
    }
    for (const std::size_t number : kept.keptBlocks()) {
        const LayoutCache::Block &a = kept.block(number);
        const LayoutCache::Block &f = fresh.block(number);
        const auto rows = [](const LayoutCache::Block &b) {
            // Where each row begins and ends, and how wide its text is.
            std::vector<std::tuple<int, int, qreal>> spans;
            for (int i = 0; i < b.rows(); ++i) {
                const QTextLine row = b.layout.lineAt(i);
                spans.emplace_back(row.textStart(), row.textLength(), row.naturalTextWidth());
            }
            return spans;
        };
        if (a.number != f.number || a.line != f.line || a.start != f.start || a.end != f.end ||
            a.lastOfLine != f.lastOfLine || a.run.text != f.run.text || rows(a) != rows(f)) {
            out << "block " << number << " is kept as line " << a.line << " [" << a.start << ", "
                << a.end << ")" << (a.lastOfLine ? " last" : "") << " of " << a.rows()
                << " rows; laid out afresh it is line " << f.line << " [" << f.start << ", "
                << f.end << ")" << (f.lastOfLine ? " last" : "") << " of " << f.rows() << " rows";
            return out.str();
        }
    }
    return std::nullopt;
}

} // namespace lorimand::testing
