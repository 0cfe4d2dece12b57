#include "platform/qtui/DesktopViewer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace qtui {
namespace {

// xdg-mime is a short script that answers at once, however busy the machine; only a hung one
// is given up on.
constexpr int kQueryGuardMs = 30000;

// The desktop entry id (e.g. "xchm.desktop") that opens this MIME type; empty when none.
QString DefaultEntryFor(const QString& mimeType) {
  QProcess query;
  query.setProgram(QStringLiteral("xdg-mime"));
  query.setArguments({QStringLiteral("query"), QStringLiteral("default"), mimeType});
  query.setStandardErrorFile(QProcess::nullDevice());
  query.start();
  if (!query.waitForFinished(kQueryGuardMs)) {
    query.kill();
    query.waitForFinished();
    return {};
  }
  if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) return {};
  const QString out = QString::fromLocal8Bit(query.readAllStandardOutput());
  return out.section(QRegularExpression(QStringLiteral("[;\\s]+")), 0, 0,
                     QString::SectionSkipEmpty);
}

QStringList DataDirs() {
  QString home = qEnvironmentVariable("XDG_DATA_HOME");
  if (home.isEmpty()) home = QDir::homePath() + QStringLiteral("/.local/share");
  QString rest = qEnvironmentVariable("XDG_DATA_DIRS");
  if (rest.isEmpty()) rest = QStringLiteral("/usr/local/share:/usr/share");
  return QStringList{home} + rest.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

// The file of a desktop entry: applications/<id> in the first data folder that has it, else a
// file in a sub-folder whose path with "/" read as "-" is the id ("kde-x.desktop" is
// applications/kde/x.desktop).
QString EntryFile(const QString& id) {
  const QStringList dirs = DataDirs();
  for (const QString& dir : dirs) {
    QString file = dir + QStringLiteral("/applications/") + id;
    if (QFileInfo(file).isFile()) return file;
  }
  for (const QString& dir : dirs) {
    const QDir apps(dir + QStringLiteral("/applications"));
    QDirIterator it(apps.path(), {QStringLiteral("*.desktop")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      QString file = it.next();
      if (apps.relativeFilePath(file).replace(QLatin1Char('/'), QLatin1Char('-')) == id)
        return file;
    }
  }
  return {};
}

struct Entry {
  QString exec;
  QString tryExec;
  bool hidden = false;
  bool dbusActivatable = false;
};

// The keys of the [Desktop Entry] group that tell whether the entry can run.
Entry ReadEntry(const QString& file) {
  Entry e;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return e;
  bool inMain = false;
  while (!f.atEnd()) {
    const QString line = QString::fromUtf8(f.readLine()).trimmed();
    if (line.startsWith(QLatin1Char('['))) {
      inMain = line == QStringLiteral("[Desktop Entry]");
      continue;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (!inMain || eq < 0) continue;
    const QString key = line.left(eq).trimmed();
    const QString value = line.mid(eq + 1).trimmed();
    if (key == QStringLiteral("Exec")) e.exec = value;
    if (key == QStringLiteral("TryExec")) e.tryExec = value;
    if (key == QStringLiteral("Hidden")) e.hidden = value == QStringLiteral("true");
    if (key == QStringLiteral("DBusActivatable"))
      e.dbusActivatable = value == QStringLiteral("true");
  }
  return e;
}

// The words of an Exec line; double quotes group a word, a backslash inside them escapes.
QStringList ExecWords(const QString& exec) {
  QStringList words;
  QString word;
  bool quoted = false, started = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (c == QLatin1Char('"')) {
      quoted = !quoted;
      started = true;
    } else if (quoted && c == QLatin1Char('\\') && i + 1 < exec.size()) {
      word += exec[++i];
    } else if (!quoted && c.isSpace()) {
      if (started) words << word;
      word.clear();
      started = false;
    } else {
      word += c;
      started = true;
    }
  }
  if (started) words << word;
  return words;
}

// The program an Exec line runs: its first word, past an "env" with its settings.
QString ExecProgram(const QString& exec) {
  const QStringList words = ExecWords(exec);
  qsizetype i = 0;
  if (i < words.size() && words[i] == QStringLiteral("env")) {
    ++i;
    while (i < words.size() &&
           (words[i].contains(QLatin1Char('=')) || words[i].startsWith(QLatin1Char('-'))))
      ++i;
  }
  return i < words.size() ? words[i] : QString();
}

bool Installed(const QString& program) {
  if (program.isEmpty()) return false;
  if (program.contains(QLatin1Char('/'))) {
    const QFileInfo f(program);
    return f.isFile() && f.isExecutable();
  }
  return !QStandardPaths::findExecutable(program).isEmpty();
}

}  // namespace

bool HasDesktopViewer(const QString& hostFile) {
  const QMimeType type = QMimeDatabase().mimeTypeForFile(hostFile, QMimeDatabase::MatchExtension);
  if (!type.isValid()) return true;  // no MIME database to tell by: the opener decides
  const QString id = DefaultEntryFor(type.name());
  if (id.isEmpty()) return false;
  const QString file = EntryFile(id);
  if (file.isEmpty()) return false;
  const Entry e = ReadEntry(file);
  if (e.hidden) return false;
  if (!e.tryExec.isEmpty() && !Installed(e.tryExec)) return false;
  return Installed(ExecProgram(e.exec)) || (e.exec.isEmpty() && e.dbusActivatable);
}

}  // namespace qtui
