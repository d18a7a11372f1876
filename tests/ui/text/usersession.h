// A text area driven as a user drives it, step by step, and checked after every
// step. The steps are decoded from bytes (a fixed seed's random bytes in the
// suite, the fuzzer's input in the fuzz target): keys (typing, Return,
// BackSpace, Delete, the arrows, Home/End, the page keys, Ctrl with them, Shift
// selections, select all, cut, copy, paste, undo, redo), clicks, double and
// triple clicks and drags (selecting, or moving the selection within the area), the wheel and the
// scroll bar, whole-text replacements as loading and decoding make them, automatic splices as the
// other area's edits make them, the charset switch and resizes.
//
// After every step the area's bytes, caret and selection must be those of a
// plain model of the text, and what it shows (where each character lies on
// screen, where a click lands, the scroll bar) must be what an area made afresh
// from the same bytes shows from the same top. Moves that depend on the layout
// (rows, pages, words, clicks) take their expected result from that fresh area:
// its layouts were never carried through an edit.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QKeyCombination>
#include <QPoint>
#include <QString>

#include "ui/text/bytetextedit.h"

namespace lorimand::testing {

// One thing a user does to the area.
struct UserStep
{
    enum class Kind
    {
        Key,         // `key`, typing `text` when it is not empty
        Click,       // at (x, y) with `key`'s modifiers
        DoubleClick, // at (x, y)
        TripleClick, // a double click at (x, y) and a third click there
        Drag,        // the left button pressed at (x, y), moved to `to` and let go there
        Wheel,       // `amount` rows of the wheel, down for positive ones
        ScrollBar,   // the scroll bar dragged to `amount` thousandths of its range
        Replace,     // the whole text becomes `bytes`, with `history`
        Splice,      // bytes [x, y) become `bytes` as an automatic splice
        Resize,      // to `x` by `y` pixels
    };
    Kind kind = Kind::Key;
    QKeyCombination key;
    QString text;
    std::string bytes;
    ByteTextEdit::History history = ByteTextEdit::History::Step;
    int x = 0;
    int y = 0;
    int amount = 0;
    QPoint to;

    [[nodiscard]] static UserStep press(QKeyCombination key, QString text = {});
    [[nodiscard]] static UserStep load(std::string bytes);
    // What the step is, for a report.
    [[nodiscard]] std::string describe() const;
};

// The steps that `input` stands for, in order; every input stands for some.
[[nodiscard]] std::vector<UserStep> userSteps(std::string_view input);

class UserSession
{
public:
    UserSession();
    ~UserSession();
    UserSession(const UserSession &) = delete;
    UserSession &operator=(const UserSession &) = delete;

    // Runs `step` and checks the area after it: nothing when all agrees, or
    // what went wrong.
    [[nodiscard]] std::optional<std::string> run(const UserStep &step);
    // Runs steps until one goes wrong: its report, with the steps before it.
    [[nodiscard]] std::optional<std::string> runAll(const std::vector<UserStep> &steps);

    [[nodiscard]] ByteTextEdit &area();
    // The bytes the model holds.
    [[nodiscard]] const std::string &expectedBytes() const;

private:
    struct Model;
    void runOnArea(const UserStep &step, ByteTextEdit &area);
    // Runs a step whose outcome the model settles itself; false for any other.
    bool runOnModel(const UserStep &step);
    void freshReference();
    [[nodiscard]] std::optional<std::string> compare(bool referenceFollowed);

    std::unique_ptr<Model> model_;
    std::unique_ptr<ByteTextEdit> area_;
    // An area laid out afresh from the model's text; it follows moves with the
    // area under test and is made anew after every change of the text.
    std::unique_ptr<ByteTextEdit> reference_;
    std::vector<std::string> done_;
};

} // namespace lorimand::testing
