#pragma once
// At start, the backups of programs that ended without saving or discarding their work
// are offered back, one question each: Restore, Discard, or Later.

#include <functional>

class CodeSense;
class DocumentBackup;
class DocumentLifecycle;
class QWidget;
struct BackupHeader;
struct DocumentState;

// The editor holds one document, so once one backup is restored the others wait for the
// next start. `restored` hears of the restored backup's header (its game and engine).
void OfferRecovery(DocumentBackup &backup, DocumentLifecycle &lifecycle, const DocumentState &state,
                   CodeSense *editor, QWidget *window, const std::function<void(const BackupHeader &)> &restored = {});
