#include "export/unfinished_exports.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <signal.h>

#include <cerrno>

namespace quenlo {

namespace {

QString& NotesFolder() {
  static QString folder;
  return folder;
}

bool ProcessHasEnded(qint64 pid) { return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

// The process a note belongs to, from its name "PID-..."; 0 when none.
qint64 NoteOwner(const QString& noteName) {
  bool ok = false;
  const qint64 pid = noteName.section(u'-', 0, 0).toLongLong(&ok);
  return ok && pid > 0 ? pid : 0;
}

void RemoveLeftTemporary(const QString& path) {
  const QFileInfo file(path);
  if (file.isFile() && !file.isSymLink() && file.fileName().startsWith(u'.')) QFile::remove(path);
}

}  // namespace

void SetExportNotesFolder(const QString& folder) { NotesFolder() = folder; }

QString NoteUnfinishedExport(const QString& temporary) {
  if (NotesFolder().isEmpty() || !QDir().mkpath(NotesFolder())) return {};
  QTemporaryFile note(QDir(NotesFolder())
                          .filePath(QString::number(QCoreApplication::applicationPid()) +
                                    QStringLiteral("-XXXXXX")));
  note.setAutoRemove(false);
  if (!note.open()) return {};
  const QByteArray path = QFileInfo(temporary).absoluteFilePath().toUtf8();
  if (note.write(path) != path.size() || !note.flush()) {
    note.remove();
    return {};
  }
  return note.fileName();
}

void ForgetUnfinishedExport(const QString& note) {
  if (!note.isEmpty()) QFile::remove(note);
}

int ClearUnfinishedExports(const QString& folder) {
  const QDir notes(folder);
  int removed = 0;
  for (const QString& name : notes.entryList(QDir::Files)) {
    const qint64 owner = NoteOwner(name);
    if (owner == 0 || !ProcessHasEnded(owner)) continue;
    QFile note(notes.filePath(name));
    if (note.open(QIODevice::ReadOnly)) {
      const QString temporary = QString::fromUtf8(note.read(4096));
      removed += QFileInfo::exists(temporary);
      RemoveLeftTemporary(temporary);
    }
    note.remove();
  }
  return removed;
}

}  // namespace quenlo
