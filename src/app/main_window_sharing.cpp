// The window's commands that share an edit: the trades as a table file, and
// the difference between a clean ROM and this one as a patch.
#include <QAction>
#include <QFileInfo>
#include <QStatusBar>

#include <algorithm>
#include <iterator>

#include "app/appearance.h"
#include "families/families.h"
#include "app/common_dialog.h"
#include "app/main_window.h"
#include "app/message_sink.h"
#include "exchange/table_file.h"
#include "patch/patch_file.h"
#include "trades/rom_diff.h"

namespace kestrane {

void MainWindow::exportTrades() {
    if (!rom_) return;
    const QFileInfo rom(romPath());
    const QString proposed = rom.completeBaseName() + fromCore(exchange::kTableExtension);
    CommonDialog dialog(dialogs_);
    auto path = dialog.showSave(this, QStringLiteral("Export Trades"),
                                proposed.size() <= CommonDialog::kMaxSaveFileName ? proposed : QStringLiteral("trades.json"),
                                rom.absolutePath(), kTableFilter, 0, fromCore(exchange::kTableExtension));
    if (!path) return tell(path.error());
    if (path->isEmpty()) return;
    if (auto written = exchange::exportTable(*rom_, toCore(*path), files_); !written) return tell(written.error());
    messages_.show(this, kAppTitle, QStringLiteral("The trades were exported to \"%1\".").arg(QFileInfo(*path).fileName()),
                   MessageIcon::Information);
}

void MainWindow::createPatchCommand() {
    if (!rom_ || !maySwitchAway()) return;
    const QFileInfo rom(romPath());
    CommonDialog cleanDialog(dialogs_);
    const QString clean = cleanDialog.showOpen(this, QStringLiteral("Choose the Clean ROM"), rom.absolutePath(), romFilter(),
                                                     kOpenFlags);
    if (clean.isEmpty()) return;
    auto found = diffRoms(toCore(clean), rom_->path, kestrane::families::all(), files_);
    if (!found) return tell(found.error());
    // The formats as the dialog's filters; a name typed without its
    // format's ending gets that of the filter chosen.
    QStringList filters;
    for (const PatchKind& kind : kPatchKinds) {
        filters << fromCore(kind.description) + QStringLiteral(" (*") + fromCore(kind.extension) + QStringLiteral(")|*") +
                       fromCore(kind.extension);
    }
    CommonDialog dialog(dialogs_);
    auto chosen = dialog.showSave(this, QStringLiteral("Create Patch"), rom.completeBaseName() + fromCore(kPatchKinds[0].extension),
                                  rom.absolutePath(), filters.join(QLatin1Char('|')), 0, QString());
    if (!chosen) return tell(chosen.error());
    if (chosen->isEmpty()) return;
    QString patch = *chosen;
    const int filter = std::clamp(dialog.filterIndex(), 1, int(std::size(kPatchKinds))) - 1;
    if (!patchFormatOf(toCore(patch))) patch += fromCore(kPatchKinds[filter].extension);
    const QStringList lines = questionLines(diffSummary(*found), 1);
    if (messages_.choose(this, QStringLiteral("Create Patch"),
                         QStringLiteral("The patch turns \u201c%1\u201d into \u201c%2\u201d:\n\n%3\n\nCreate it?")
                             .arg(QFileInfo(clean).fileName(), rom.fileName(), lines.join('\n')),
                         {QStringLiteral("Create Patch"), QStringLiteral("Cancel")}) != 0) {
        return;
    }
    auto written = createPatch(toCore(clean), rom_->path, toCore(patch), GameCheck::SameGame, files_);
    if (!written) return tell(written.error());
    messages_.show(this, kAppTitle,
                   QStringLiteral("The patch was written to \u201c%1\u201d (%2 bytes).").arg(QFileInfo(patch).fileName()).arg(written->patchSize),
                   MessageIcon::Information);
}

// With no ROM open too: the patch, the ROM it applies to, where the patched
// ROM goes; then that ROM is opened.
void MainWindow::applyPatchCommand() {
    if (rom_ && !maySwitchAway()) return;
    const QString start = rom_ ? QFileInfo(romPath()).absolutePath() : QString();
    CommonDialog patchDialog(dialogs_);
    const QString patch = patchDialog.showOpen(this, QStringLiteral("Choose the Patch"), start,
                                               QStringLiteral("Patches (*.bps;*.ips)|*.bps;*.ips"), kOpenFlags);
    if (patch.isEmpty()) return;
    CommonDialog romDialog(dialogs_);
    const QString source = romDialog.showOpen(this, QStringLiteral("Choose the ROM the Patch Was Made For"),
                                              rom_ ? start : QFileInfo(patch).absolutePath(), romFilter(), kOpenFlags);
    if (source.isEmpty()) return;
    const QFileInfo from(source);
    CommonDialog saveDialog(dialogs_);
    auto chosen = saveDialog.showSave(this, QStringLiteral("Save the Patched ROM"),
                                      QFileInfo(patch).completeBaseName() + QLatin1Char('.') + from.suffix(), from.absolutePath(),
                                      romFilter(), 0, QLatin1Char('.') + from.suffix());
    if (!chosen) return tell(chosen.error());
    if (chosen->isEmpty()) return;
    auto applied = applyPatchFile(toCore(patch), toCore(source), toCore(*chosen), files_);
    if (!applied) return tell(applied.error());
    openRom(*chosen);
    statusBar()->showMessage(QStringLiteral("Applied \u201c%1\u201d to \u201c%2\u201d: %3 bytes differ.%4")
                                 .arg(QFileInfo(patch).fileName(), from.fileName())
                                 .arg(applied->bytesDiffer)
                                 .arg(applied->format == PatchFormat::Ips ? QLatin1Char(' ') + fromCore(std::string(kIpsUncheckedNote))
                                                                          : QString()));
}

}  // namespace kestrane
