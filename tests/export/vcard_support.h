// Reads a vCard file back for the tests: through python3-vobject (Debian's
// /usr/bin/python3), an independent reader, and through a strict check of
// RFC 2425/2426's line grammar written here.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include "python_reader.h"

namespace quenlo::testing {

inline QJsonArray ReadVCards(const QString& path) {
  QString error;
  const QJsonDocument read = RunPythonReader("read_vcards.py", path, &error);
  if (read.isNull()) ADD_FAILURE() << error.toStdString();
  return read.array();
}

// Whether every backslash of a value starts one of the escapes \\ \, \; \n.
inline bool EscapesAreValid(const QString& value) {
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] != u'\\') continue;
    if (i + 1 == value.size() || !QStringLiteral("\\,;nN").contains(value[i + 1])) return false;
    ++i;
  }
  return true;
}

// The faults of a vCard file against the grammar, one a line; empty when it
// keeps every rule: CR LF after every line and nowhere else, at most 75
// octets a line, valid UTF-8 on every line (a fold never splits a
// character), "name *(;param=value) : value" after unfolding, only the
// escapes \\ \, \; \n in values, BEGIN/VERSION:3.0 … FN, N … END per card.
inline QStringList VCardGrammarFaults(const QByteArray& bytes) {
  QStringList faults;
  if (!bytes.endsWith("\r\n")) faults << QStringLiteral("no CR LF at the end");
  QStringList logical;
  // Split after each LF: every line but a faulty one keeps its CR.
  for (const QByteArray& line : bytes.chopped(bytes.endsWith('\n') ? 1 : 0).split('\n')) {
    if (!line.endsWith('\r')) faults << QStringLiteral("bare LF");
    const QByteArray content = line.chopped(line.endsWith('\r') ? 1 : 0);
    if (content.contains('\r')) faults << QStringLiteral("bare CR");
    if (content.size() > 75) faults << QStringLiteral("%1 octets").arg(content.size());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(content);
    if (utf8.hasError()) faults << QStringLiteral("a split UTF-8 sequence: ") + text;
    if (text.startsWith(u' ') && !logical.isEmpty()) logical.last() += text.mid(1);
    else logical << text;
  }
  static const QRegularExpression contentLine(QStringLiteral(
      "^[A-Za-z0-9-]+(;[A-Za-z0-9-]+=[^\";:,\\x00-\\x1f]+(,[^\";:,\\x00-\\x1f]+)*)*:(.*)$"));
  QStringList names;  // of the card being read
  for (const QString& line : logical) {
    const QRegularExpressionMatch m = contentLine.match(line);
    if (!m.hasMatch()) faults << QStringLiteral("not a content line: ") + line;
    else if (!EscapesAreValid(m.captured(3))) faults << QStringLiteral("bad escape: ") + line;
    if (m.captured(3).contains(QRegularExpression(QStringLiteral("[\\x00-\\x08\\x0a-\\x1f\\x7f]"))))
      faults << QStringLiteral("control character: ") + line;
    names << (line == u"VERSION:3.0" ? line
                                     : line.section(u':', 0, 0).section(u';', 0, 0).toUpper());
    if (names.last() != u"END") continue;
    if (names.value(0) != u"BEGIN" || names.value(1) != u"VERSION:3.0" ||
        !names.contains(QStringLiteral("FN")) || !names.contains(QStringLiteral("N")))
      faults << QStringLiteral("card lacks BEGIN, VERSION:3.0, FN or N: ") + names.join(u',');
    names.clear();
  }
  if (!names.isEmpty()) faults << QStringLiteral("a card without END");
  return faults;
}

}  // namespace quenlo::testing
