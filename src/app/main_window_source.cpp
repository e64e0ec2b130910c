// The window and the build tree a ROM was made from: where its trades live
// in the tree's trade file, whether a save writes there too, and what a
// rebuild did.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "app/appearance.h"
#include "app/main_window.h"
#include "app/message_sink.h"
#include "source/source_save.h"
#include "support/words.h"

namespace kestrane {

void MainWindow::readSource() {
    source_.reset();
    sourceProblem_.clear();
    if (!rom_) return;
    auto source = openTradeSource(*rom_, files_);
    if (!source) sourceProblem_ = fromCore(source.error().message);
    else source_ = std::move(*source);
}

bool MainWindow::writesSource() {
    if (!source_ || !source_->inStep()) return false;
    const QString tree = QDir(fromCore(source_->tree.root)).absolutePath();
    if (auto answer = sourceAnswers_.writeBoth(tree)) return *answer;
    const bool both = messages_.choose(this, kAppTitle,
                                       QStringLiteral("%1 is built from %2. Write your edits there too, so the next build keeps them?")
                                           .arg(fromCore(source_->romName), fromCore(source_->file)),
                                       {QStringLiteral("Write Both"), QStringLiteral("ROM Only")}) == 0;
    sourceAnswers_.remember(tree, both);
    return both;
}

void MainWindow::showSourceLine() {
    const std::optional<TradeRecord>& record = editor_->current().record;
    std::optional<int> line;
    if (rom_ && source_ && record) line = source_->lineOf(std::size_t(record->slot.recordIndex(rom_->release->slotOrder)));
    form_.sourceLine->setText(line ? QStringLiteral("line %1").arg(*line) : QString());
    form_.sourceLine->setToolTip(line ? QStringLiteral("%1, line %2").arg(fromCore(source_->file)).arg(*line) : QString());
}

QString MainWindow::sourceNote(std::span<const TradeEdit> edits, const SaveReport& saved, bool withSource) const {
    if (!source_ || saved.bytesChanged == 0) return {};
    if (!withSource) {
        return QStringLiteral("%1 lies in a build tree, and its next build replaces this edit%2")
            .arg(fromCore(source_->romName),
                 source_->inStep() ? QStringLiteral(": it went to the ROM only.")
                                   : QStringLiteral(" (its trade file is not in step: %1)").arg(fromCore(sentence(source_->state()))));
    }
    return fromCore(sourceSavedNote(*rom_, *source_, edits, saved));
}

}  // namespace kestrane
