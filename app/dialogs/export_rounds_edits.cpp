#include "export_rounds_edits.h"

#include <QCoreApplication>

#include <cmath>

#include "app/dialogs/number_edit.h"

namespace lantrel {

namespace {

// The translations' context.
class Text {
    Q_DECLARE_TR_FUNCTIONS(ExportRoundsEdits)
};

// The window offers whole seconds only: finer fades are the command line's.
constexpr int kMaximumFade = static_cast<int>(ExportRounds::kMaxFadeSeconds);

}  // namespace

QString ExportRoundsEdits::loopsLabel() {
    return Text::tr("ループ回数");
}

QString ExportRoundsEdits::fadeLabel() {
    return Text::tr("フェードアウト（秒）");
}

ExportRoundsEdits makeExportRoundsEdits(const ExportRounds& rounds) {
    const int fade = static_cast<int>(std::lround(rounds.fadeSeconds));
    return {makeNumberEdit(1, ExportRounds::kMaxLoops, rounds.loops, QStringLiteral("loops")),
            makeNumberEdit(0, kMaximumFade, fade, QStringLiteral("fade"))};
}

std::optional<ExportRounds> readExportRounds(const ExportRoundsEdits& edits, ExportRounds rounds,
                                             const DialogHooks& hooks, QWidget* dialog) {
    const std::optional<int> loops = acceptedNumber(edits.loops, hooks, dialog);
    if (!loops) return std::nullopt;
    const std::optional<int> fade = acceptedNumber(edits.fade, hooks, dialog);
    if (!fade) return std::nullopt;
    rounds.loops = *loops;
    rounds.fadeSeconds = *fade;
    return rounds;
}

}  // namespace lantrel
