#include "export/vcard_writer.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace quenlo {
namespace {

constexpr int kLineOctets = 75;

// Two-character family names common enough to meet in a contact list.
const QStringList kCompoundFamilyNames = {
    QStringLiteral("欧阳"), QStringLiteral("司马"), QStringLiteral("上官"), QStringLiteral("诸葛"),
    QStringLiteral("东方"), QStringLiteral("皇甫"), QStringLiteral("尉迟"), QStringLiteral("公孙"),
    QStringLiteral("慕容"), QStringLiteral("令狐"), QStringLiteral("司徒"), QStringLiteral("夏侯"),
    QStringLiteral("长孙"), QStringLiteral("宇文"), QStringLiteral("轩辕"), QStringLiteral("端木"),
    QStringLiteral("独孤"), QStringLiteral("南宫"), QStringLiteral("西门"), QStringLiteral("钟离")};
const QStringList kHonorifics = {QStringLiteral("先生"), QStringLiteral("女士"),
                                 QStringLiteral("小姐")};
const QString kCountry = QStringLiteral("中国");

bool IsHanName(const QString& name) {
  static const QRegularExpression han(QStringLiteral("^\\p{Han}{2,4}$"));
  return han.match(name).hasMatch();
}

PersonName SplitHanName(const QString& name) {
  for (const QString& family : kCompoundFamilyNames) {
    if (name.size() > 2 && name.startsWith(family)) return {family, name.mid(2), {}};
  }
  return {name.left(1), name.mid(1), {}};
}

// UTF-8 octets of the sequence led by lead.
int SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

QByteArray Property(const char* name, const QString& value) {
  return FoldedLine(QByteArray(name) + ':' + value.toUtf8());
}

void AddTelephones(QByteArray& card, const char* name, const QString& field, PhoneStyle phones) {
  for (const QString& number : PhoneParts(field, phones)) card += Property(name, VCardText(number));
}

QByteArray NameLines(const ContactCard& card) {
  const QString person = card.person.trimmed();
  const QString shown = !person.isEmpty()           ? person
                        : !card.company.trimmed().isEmpty() ? card.company.trimmed()
                                                    : card.member;
  const PersonName n = person.isEmpty() ? PersonName{shown, {}, {}} : SplitPersonName(person);
  return Property("FN", VCardText(shown)) +
         Property("N", QStringLiteral("%1;%2;;;%3")
                           .arg(VCardText(n.family), VCardText(n.given), VCardText(n.honorific)));
}

QByteArray AddressLine(const ContactCard& card) {
  if (card.address.trimmed().isEmpty() && card.postcode.trimmed().isEmpty()) return {};
  // post office box; extended address; street; locality; region; postal code; country
  return Property("ADR;TYPE=WORK", QStringLiteral(";;%1;;;%2;%3")
                                       .arg(VCardText(card.address), VCardText(card.postcode),
                                            kCountry));
}

QByteArray WebLines(const QString& web) {
  static const QRegularExpression separators(QStringLiteral("[\\s;；,，]+"));
  QByteArray lines;
  for (const QString& address : web.split(separators, Qt::SkipEmptyParts))
    lines += Property("URL", VCardText(address));
  return lines;
}

}  // namespace

ContactCard ContactCardFrom(const std::function<QString(const QString& field)>& value) {
  return {value(QStringLiteral("AName")), value(QStringLiteral("CName")),
          value(QStringLiteral("RName")), value(QStringLiteral("RMob")),
          value(QStringLiteral("RPhone")), value(QStringLiteral("RFax")),
          value(QStringLiteral("RJob")),  value(QStringLiteral("CAddr")),
          value(QStringLiteral("CPC")),   value(QStringLiteral("CUrl"))};
}

PersonName SplitPersonName(const QString& name) {
  const QString trimmed = name.trimmed();
  for (const QString& honorific : kHonorifics) {
    if (trimmed.size() > honorific.size() && trimmed.endsWith(honorific))
      return {trimmed.chopped(honorific.size()).trimmed(), {}, honorific};
  }
  if (IsHanName(trimmed)) return SplitHanName(trimmed);
  const qsizetype lastBlank = trimmed.lastIndexOf(u' ');
  static const QRegularExpression latin(QStringLiteral("^[\\p{Latin} .'-]+$"));
  if (lastBlank > 0 && latin.match(trimmed).hasMatch())
    return {trimmed.mid(lastBlank + 1), trimmed.left(lastBlank).trimmed(), {}};
  return {trimmed, {}, {}};
}

QString VCardText(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\\' || c == u',' || c == u';') {
      out += u'\\';
      out += c;
    } else if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;  // CR LF is one break
      out += QStringLiteral("\\n");
    } else if (c != u'\t' && (c.unicode() < 0x20 || c.unicode() == 0x7F)) {
      continue;
    } else {
      out += c;
    }
  }
  return out;
}

QByteArray FoldedLine(const QByteArray& line) {
  if (line.size() <= kLineOctets) return line + "\r\n";
  QByteArray out;
  out.reserve(line.size() + line.size() / 32 + 2);
  int octets = 0;  // on the current physical line
  for (qsizetype i = 0; i < line.size();) {
    const int length = int(std::min<qsizetype>(SequenceLength(static_cast<unsigned char>(line[i])),
                                                line.size() - i));
    if (octets + length > kLineOctets) {
      out += "\r\n ";  // the blank leads the next line and counts towards it
      octets = 1;
    }
    out.append(line.constData() + i, length);
    octets += length;
    i += length;
  }
  out += "\r\n";
  return out;
}

QByteArray VCardOf(const ContactCard& card, PhoneStyle phones) {
  QByteArray out = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  out += NameLines(card);
  if (!card.company.isEmpty()) out += Property("ORG", VCardText(card.company));
  if (!card.job.isEmpty()) out += Property("TITLE", VCardText(card.job));
  out += AddressLine(card);
  AddTelephones(out, "TEL;TYPE=WORK,VOICE", card.phone, phones);
  AddTelephones(out, "TEL;TYPE=WORK,FAX", card.fax, phones);
  AddTelephones(out, "TEL;TYPE=CELL", card.mobile, phones);
  out += WebLines(card.web);
  if (!card.member.isEmpty()) out += Property("NOTE", VCardText(QStringLiteral("会员编号：") + card.member));
  out += "END:VCARD\r\n";
  return out;
}

}  // namespace quenlo
