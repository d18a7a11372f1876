// The text area driven as a user drives it (tests/ui/text/usersession.h): any
// input stands for a text loaded, then keys, clicks, scrolling, replacements,
// automatic splices, charset switches and resizes. After every step the area's
// bytes, caret and selection must be those of a plain model, and its block
// index, layouts, scroll bar and hit testing those of an area laid out afresh.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include <QApplication>

#include "fuzzinput.h"
#include "ui/text/usersession.h"

namespace {

// Each step lays out a fresh area to compare with: the steps of one input are
// kept to what runs well within the fuzzer's time limit.
constexpr std::size_t kInputBytes = 160;

// Made once for the whole run and never destroyed: Qt's own data would be gone
// before it at the program's end.
void startApplication()
{
    static int argc = 1;
    static char name[] = "fuzz_textarea";
    static char *argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static const QApplication *const app = new QApplication(argc, argv);
        (void)app;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    startApplication();
    const std::string_view input(reinterpret_cast<const char *>(data), std::min(size, kInputBytes));
    lorimand::testing::UserSession session;
    if (const std::optional<std::string> wrong =
            session.runAll(lorimand::testing::userSteps(input))) {
        std::fprintf(stderr, "%s\n", wrong->c_str());
        lorimand::fuzz::require(false, "the area agrees with the model and a fresh layout");
    }
    return 0;
}
